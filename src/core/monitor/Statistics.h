#pragma once
#include "core/common/ChannelCount.h"
#include <QString>
#include <array>

struct AcquisitionState;
class MonitorFields;
class RecordStore;

// One extreme (maximum or minimum) of a channel.
struct StatExtreme {
    QString text;     // as shown: the sample's value text, a rescaled number, or "+OL"/"-OL"
    QString unit;     // unit of `text`
    QString time;     // "hh:nn:ss" of the sample
    int row = 0;      // record-table row of the sample; 0 for none
    double value = 0; // the number in the range of `prefix` (an overload's range limit)
    int prefix = 3;   // range prefix code `value` is expressed in
    QString mark;     // "+OL"/"-OL" while an overload holds the extreme, else empty
};

// Running statistics of one channel in the current record.
struct ChannelStatistics {
    int count = 0;  // numeric samples; 0 before the first
    double sum = 0; // running sum in the range of `sumPrefix`
    int sumPrefix = 3;
    QString average; // formatted average, or the text of the latest overload sample
    bool hasExtremes = false;
    StatExtreme maximum;
    StatExtreme minimum;
};

// Running average, maximum and minimum of every channel, fed with the reading being
// decoded (AcquisitionState::reading); the main channel's figures are shown on the monitor.
class Statistics
{
public:
    Statistics(const AcquisitionState &state, const RecordStore &record, MonitorFields &monitor);

    void avg();    // the current reading into its channel's count, sum and average
    void maxMin(); // the current reading into its channel's maximum and minimum
    void clear();  // every channel empty, for a new record
    // A channel's figures as a stored record gives them (opening a workbook).
    void restore(int channel, const ChannelStatistics &figures) { m_channels.at(channel) = figures; }

    // Copies a channel's figures into the monitor's visible statistics fields.
    void showChannel(int channel);

    const ChannelStatistics &channel(int channel) const { return m_channels.at(channel); }

private:
    void showExtremes(const ChannelStatistics &statistics);
    void moveToRange(StatExtreme &extreme, int prefix, const QString &unit) const;

    const AcquisitionState &m_state;
    const RecordStore &m_record;
    MonitorFields &m_monitor;
    std::array<ChannelStatistics, ChannelCount> m_channels;
};
