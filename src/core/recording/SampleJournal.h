#pragma once

// Told of every sample the table takes, once the sample and its channel's captions are in
// the record: channel `channel`'s sample went into grid row `row`; the reading had `divisor`
// (which the value's text does not tell for an overload).
class SampleJournal
{
public:
    virtual ~SampleJournal() = default;
    virtual void sampleRecorded(int channel, int row, int divisor) = 0;
};
