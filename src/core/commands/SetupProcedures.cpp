#include "core/commands/SetupProcedures.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/ChannelCount.h"
#include "core/common/WindowHooks.h"
#include "core/layout/WindowVisibility.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/MonitorFields.h"
#include "core/power/PowerCostMonitor.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingStatus.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/UserSettings.h"
#include "core/setup/EnergyPairing.h"
#include "core/setup/PowerFields.h"
#include "core/setup/SetupOk.h"

namespace
{

constexpr int FirstSampleRow = 1;
constexpr int DateColumn = 1;

} // namespace

SetupProcedures::SetupProcedures(const Collaborators &collaborators) : m_(collaborators) {}

bool SetupProcedures::recording() const
{
    return m_.status.running();
}

int SetupProcedures::mainFunction() const
{
    return m_.state.main.function;
}

void SetupProcedures::load()
{
    m_.settings.loadSetup(m_.state.main.function == Measurement::DCV);
    const Settings &settings = m_.settings.values();
    m_.state.link.selectedPort = settings.portIndex;

    AlarmState alarm;
    alarm.recording = recording();
    alarm.mainFunction = m_.state.main.function;
    alarm.checked = settings.Alarm;
    alarm.choice = settings.T1_CK;
    alarm.highText = settings.T1Hi;
    alarm.lowText = settings.T1Low;
    alarm.alarmActive = m_.state.main.alarmActive;
    applyAlarm(AlarmPart::onLoad(alarm, settings.unit), settings.T1_CK);
}

QString SetupProcedures::refusal(const SetupValues &dialog) const
{
    std::array<int, ChannelCount> functions{};
    for (std::size_t k = 0; k < functions.size(); ++k) {
        const int function = Measurement::functionCodeOf(m_.record.functionCaption[k]);
        functions[k] = function < 0 ? EnergyPairing::Unknown : function;
    }
    return EnergyPairing::problem(dialog, functions);
}

SetupValues SetupProcedures::values() const
{
    SetupValues values = SetupValues::fromSettings(m_.settings.values());
    // The alarm part of the load may have switched the alarm off or raised an AC limit to 0.
    const AlarmSetup &alarm = m_.alarmSetup;
    values.Alarm = alarm.checked;
    values.T1_CK = alarm.choice;
    values.T1Hi = alarm.hiText;
    values.T1Low = alarm.lowText;
    return values;
}

bool SetupProcedures::powerFieldsEnabled() const
{
    return PowerFields::enabled(m_.windows.isShown(ChildWindow::Power), recording());
}

AlarmLimits::Context SetupProcedures::limitContext(const QString &unit) const
{
    AlarmLimits::Context context;
    context.recordHasSample = !m_.record.cell(FirstSampleRow, DateColumn).isEmpty();
    context.mainFunction = m_.state.main.function;
    context.unit = unit;
    context.range = {m_.state.limits.lower, m_.state.limits.upper};
    return context;
}

void SetupProcedures::applyAlarm(const AlarmApplication &alarm, int choice)
{
    AlarmSetup &setup = m_.alarmSetup;
    setup.checkEnabled = alarm.checkEnabled;
    setup.checked = alarm.checked;
    setup.controlsEnabled = alarm.controlsEnabled;
    setup.choice = choice;
    setup.hiText = alarm.highText;
    setup.lowText = alarm.lowText;
    setup.units = alarm.units.entries;
    setup.unitIndex = alarm.units.entries.isEmpty() ? -1 : alarm.units.index;

    m_.state.main.alarmEnabled = alarm.alarmEnabled;
    if (alarm.clearAlarmActive) m_.state.main.alarmActive = false;

    MonitorFields &monitor = m_.monitor;
    monitor.armedImageVisible = alarm.monitor.armedImage;
    monitor.soundingImageVisible = alarm.monitor.soundingImage;
    monitor.alarmLimits = {alarm.monitor.highLimit, alarm.monitor.highUnit, alarm.monitor.lowLimit,
                           alarm.monitor.lowUnit};
    monitor.notify();
}

void SetupProcedures::ok(const SetupValues &dialog, const AlarmLimits::Units &units)
{
    SetupOkContext context;
    context.recording = recording();
    context.mainFunction = m_.state.main.function;
    context.alarmActive = m_.state.main.alarmActive;
    context.units = units;
    const int main = m_.state.main.channel;
    context.graph.currentFactor = m_.settings.values().timeAxisFactor;
    context.graph.mainHasReadings = m_.state.main.rowCount > 0;
    context.graph.graphVisible = m_.windows.isShown(ChildWindow::Graph);
    context.graph.recording = context.recording;
    context.graph.mainSampleCount = m_.state.main.rowCount;
    context.graph.mainNextRow = main >= 0 && main < ChannelCount ? m_.record.nextRow(main) : 1;
    context.channelList = m_.monitor.channelEntries;
    const int index = m_.monitor.channelIndex;
    if (index >= 0 && index < m_.monitor.channelEntries.size())
        context.selectedChannel = channelOfListEntry(m_.monitor.channelEntries.at(index));
    context.powerCommandChecked = m_.windows.isShown(ChildWindow::Power);
    const SetupOkPlan plan = planSetupOk(dialog, context);

    applyAlarm(plan.alarm, dialog.T1_CK);

    // The values are saved before the graph is redrawn: the graph takes the time-axis factor
    // from the settings.
    Settings edited = m_.settings.values();
    plan.values.toSettings(edited);
    m_.settings.saveSetup(edited);
    m_.state.link.selectedPort = m_.settings.values().portIndex;

    if (plan.timeAxis.redrawFrame) m_.graph.reDisplay();
    for (const QString &page : plan.timeAxis.pageBoxTexts)
        m_.graph.setPageBox(page);

    m_.record.setChannelNames(plan.tableHeader);

    MonitorFields &monitor = m_.monitor;
    if (!plan.channelList.isEmpty()) {
        // The selector's new texts are no user's choice of a channel.
        m_.state.selectorRebuild = true;
        monitor.channelEntries = plan.channelList;
        monitor.notify();
        m_.state.selectorRebuild = false;
    }
    if (plan.monitorChannel) {
        monitor.serialNumber = plan.monitorChannel->serialNumber;
        monitor.place = plan.monitorChannel->place;
        monitor.notify();
    }
    if (plan.powerLabels) m_.power.showChannelAndRates(plan.powerLabels->channel, plan.powerLabels->rates);

    load();
}
