#include "core/monitor/ChannelSelector.h"

#include <algorithm>
#include <cmath>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/WindowHooks.h"
#include "core/layout/WindowVisibility.h"
#include "core/measurement/AlarmRules.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/Settings.h"

namespace
{

constexpr int LastScrollColumn = 11;
constexpr double RowsPerPage = 100;
const QString NoText = QStringLiteral("-");

} // namespace

ChannelSelector::ChannelSelector(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
}

void ChannelSelector::select(int index)
{
    AcquisitionState &state = m_.state;
    if (state.selectorRebuild) return;
    MonitorFields &monitor = m_.monitor;
    if (index < 0 || index >= monitor.channelEntries.size()) return;
    // Entries are "<channel number>_<name>"; anything else names no channel.
    const QString &entry = monitor.channelEntries.at(index);
    const int number = entry.isEmpty() ? 0 : entry.at(0).digitValue();
    if (number < 1 || number > ChannelCount) return;

    monitor.channelIndex = index;
    const int channel = number - 1;
    state.main.channel = qint16(channel);
    // A channel chosen ends the wait for the main channel of the record split off.
    state.main.keptChannel = -1;
    const int function = Measurement::functionCodeOf(m_.record.functionCaption[channel]);
    if (function >= 0) state.main.function = qint16(function);

    if (state.resetPending != ResetPending::None)
        showStoredRecord(channel);
    else
        showRunningRecord(channel);
    // Whatever showed the previous channel's figures now shows this one's.
    m_.statistics.showChannel(channel);
    followInGraph();
    monitor.notify();
}

void ChannelSelector::showStoredRecord(int channel)
{
    AcquisitionState &state = m_.state;
    RecordStore &record = m_.record;
    MonitorFields &monitor = m_.monitor;

    const int valueColumn = RecordStore::valueColumn(channel);
    int samples = 0;
    while (samples + 1 < record.gridRowCount() && !record.cell(samples + 1, valueColumn).isEmpty())
        ++samples;
    state.main.rowCount = samples;
    record.setFirstVisibleColumn(std::min(valueColumn - 1, LastScrollColumn));
    // The big display shows the chosen channel's last sample: an opened record has shown
    // none yet, and the graph's labels and unit wait for a shown reading.
    if (samples >= 1) {
        monitor.bigValue = record.cell(samples, valueColumn);
        monitor.bigUnit = record.cell(samples, RecordStore::unitColumn(channel));
    }
    setLimits(samples >= 1 ? monitor.bigUnit : state.channels.unit[channel]);
    monitor.type = record.functionCaption[channel];
    if (!AlarmRules::canCarryAlarm(state.main.function)) {
        m_.alarm.switchOff();
        monitor.serialNumber = NoText;
        monitor.place = NoText;
    }
}

void ChannelSelector::showRunningRecord(int channel)
{
    AcquisitionState &state = m_.state;
    const RecordStore &record = m_.record;
    MonitorFields &monitor = m_.monitor;

    const int samples = record.nextRow(channel) - 1;
    state.main.rowCount = samples;
    // Row 0 is the header: a channel without a sample yet keeps the display as it is.
    if (samples >= 1) {
        monitor.bigValue = record.cell(samples, RecordStore::valueColumn(channel));
        monitor.bigUnit = record.cell(samples, RecordStore::unitColumn(channel));
    }
    setLimits(monitor.bigUnit);
    monitor.type = record.functionCaption[channel];
    state.main.rangeChanged = false;
    setUpAlarm(channel);
    m_.power.powerCheck();
}

void ChannelSelector::setUpAlarm(int channel)
{
    AcquisitionState &state = m_.state;
    MonitorFields &monitor = m_.monitor;
    Alarm &alarm = m_.alarm;
    if (!AlarmRules::canCarryAlarm(state.main.function)) {
        alarm.switchOff();
        monitor.serialNumber = NoText;
        monitor.place = NoText;
        return;
    }
    AlarmSetup &setup = m_.alarmSetup;
    setup.checkEnabled = true;
    setup.controlsEnabled = setup.checked;
    state.main.alarmEnabled = setup.checked;
    alarm.fillUnits(state.main.function);
    // The meter now on the big display is this channel's, as on its first reading.
    const Settings &settings = m_.settings;
    monitor.serialNumber = settings.Channel_sn[channel];
    monitor.place = settings.Channel_p[channel];
    alarm.alm();
}

void ChannelSelector::setLimits(const QString &unit)
{
    m_.state.main.prefix = qint16(Measurement::prefixCodeOfUnit(unit));
    m_.state.applyDisplayLimits();
}

void ChannelSelector::followInGraph()
{
    const AcquisitionState &state = m_.state;
    GraphHooks &graph = m_.graph;
    // The page box first, so that the autoscale and the page's extremes are those of the
    // new channel's last page.
    const double timeAxisFactor = double(m_.settings.timeAxisFactor);
    if (state.resetPending != ResetPending::None && m_.windows.isShown(ChildWindow::Graph) &&
        timeAxisFactor > 0) {
        const double pages = std::ceil(state.main.rowCount / RowsPerPage / timeAxisFactor);
        graph.setPageBox(QString::number(qint64(pages)));
    }
    graph.tickText();
    graph.reDisplay();
}
