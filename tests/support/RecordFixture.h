#pragma once
#include <QByteArray>
#include <QStringList>

class RecordStore;

// A stopped record of `samples` rows and the empty row after them: index and date in every
// row, and for the first `channels` channels a time two seconds on per row, a value and "mV".
// Channel names Ch1..Ch6.
void fillRecord(RecordStore &store, int samples, int channels = 2);

// The values of a channel's samples, as numbers where they are numbers: in the table, and in the
// first sheet of a saved workbook (the reason instead when it cannot be read).
QStringList tableValues(const RecordStore &record, int channel);
// Everything of a record one text per line: every cell by row, the counters, each channel's captions, the
// stamp.
QStringList recordText(const RecordStore &record);
QStringList workbookValues(const QString &path, int channel);

// A journal as a killed program leaves it, stamp 20261207_024638: `rows` rows of the first
// `channels` channels in DCV, a second apart, the n-th sample of each `first` + n - 1.
QByteArray countingJournal(int rows, int channels, int first = 0);
