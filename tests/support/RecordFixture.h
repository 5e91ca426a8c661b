#pragma once

class RecordStore;

// A stopped record of `samples` rows and the empty row after them: index and date in every
// row, and for the first `channels` channels a time two seconds on per row, a value and "mV".
// Channel names Ch1..Ch6.
void fillRecord(RecordStore &store, int samples, int channels = 2);
