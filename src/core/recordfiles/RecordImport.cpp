#include "core/recordfiles/RecordImport.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/WindowHooks.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"

namespace
{
StatExtreme extreme(const QString &time, const QString &text, const QString &unit)
{
    StatExtreme out;
    out.time = time;
    out.text = text;
    out.unit = unit;
    return out;
}
} // namespace

void RecordImport::apply(const ImportedRecord &imported)
{
    int present = 0;
    for (int k = 0; k <= std::min(imported.lastChannel, ChannelCount - 1); ++k) {
        const ImportedChannel &channel = imported.channels[std::size_t(k)];
        if (channel.present) ++present;
        m_.record.functionCaption[std::size_t(k)] = channel.functionName;
        m_.state.channels.unit[std::size_t(k)] = channel.unit;
        ChannelStatistics figures;
        figures.average = channel.average;
        figures.maximum = extreme(channel.maxTime, channel.maximum, channel.maxUnit);
        figures.minimum = extreme(channel.minTime, channel.minimum, channel.minUnit);
        figures.hasExtremes = !channel.maximum.isEmpty();
        m_.statistics.restore(k, figures);
    }
    // A main channel saved with its block in one prefix gets it again when saved.
    if (imported.mainRangeMixed && imported.savedMainChannel >= 0) {
        const std::size_t main = std::size_t(imported.savedMainChannel);
        m_.state.channels.rangeMixed[main] = true;
        if (imported.commonPrefix >= 0)
            m_.record.prefixCaption[main] = QString::number(imported.commonPrefix);
        if (imported.mainDivisor > 0) m_.record.divisorCaption[main] = QString::number(imported.mainDivisor);
    }
    m_.monitor.channelEntries = imported.channelList;
    m_.monitor.receivedChannels = QString::number(present);
    m_.monitor.type = imported.typeText;

    const int rows = int(imported.rows.size());
    m_.progress.showProgress(ProgressCaption(), ProgressLabel(), rows);
    for (int k = 0; k < ChannelCount; ++k)
        m_.record.setCell(0, RecordStore::valueColumn(k), imported.channels[std::size_t(k)].name);
    m_.record.setGridRowCount(imported.gridRowCount());
    for (int i = 0; i < rows; ++i) {
        m_.record.setRow(i + 1, imported.rows[std::size_t(i)]);
        m_.progress.setProgress(i + 1);
    }
    m_.progress.closeProgress();
    // The counters say how far each channel's samples go, as after a recording, so that what
    // reads the record by its counters (the lanes of every channel) sees the opened one too.
    std::array<int, ChannelCount> nextRow;
    for (int k = 0; k < ChannelCount; ++k) {
        int last = rows;
        while (last > 0 &&
               imported.rows[std::size_t(last - 1)][std::size_t(RecordStore::valueColumn(k))].isEmpty())
            --last;
        nextRow[std::size_t(k)] = last + 1;
    }
    m_.record.restoreCounters(rows + 1, nextRow, present);
    m_.record.setFirstVisibleRow(imported.firstVisibleRow());
    m_.monitor.notify();
}
