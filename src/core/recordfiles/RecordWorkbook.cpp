#include "core/recordfiles/RecordWorkbook.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/settings/Settings.h"

namespace
{
WorkbookExtreme extremeOf(const StatExtreme &extreme)
{
    return {extreme.time, extreme.text, extreme.unit};
}
} // namespace

WorkbookRecord recordWorkbook(const RecordWorkbookSources &sources)
{
    WorkbookRecord out(sources.record.snapshot());
    const AcquisitionState &state = sources.state;
    for (int k = 0; k < ChannelCount; ++k) {
        const ChannelStatistics &figures = sources.statistics.channel(k);
        WorkbookChannelSummary &summary = out.channels[std::size_t(k)];
        // An opened record has its extremes as read, without the rows they were taken at.
        summary.hasStatistics = figures.maximum.row > 0 || figures.hasExtremes;
        summary.average = figures.average;
        summary.unit = state.channels.unit[std::size_t(k)];
        summary.maximum = extremeOf(figures.maximum);
        summary.minimum = extremeOf(figures.minimum);
    }
    const int main = qBound(0, int(state.main.channel), ChannelCount - 1);
    out.mainChannel = main;
    out.mainFunction = state.main.function;
    out.mainRowCount = state.main.rowCount;
    out.mainRangeMixed = state.channels.rangeMixed[std::size_t(main)];
    out.mainDisplayUnit = sources.monitor.bigUnit;
    out.titleShown = sources.settings.Graph_TitleCk;
    out.title = sources.settings.Graph_MainTitle;
    return out;
}
