#include "core/setup/SetupOk.h"

#include "core/common/ChannelCount.h"
#include "core/power/PowerCostMonitor.h"

namespace
{

bool isChannel(int channel)
{
    return channel >= 0 && channel < ChannelCount;
}

} // namespace

QString channelListEntry(int channel, const QString &name)
{
    return QString::number(channel + 1) + u'_' + name;
}

int channelOfListEntry(const QString &entry)
{
    const int channel = entry.isEmpty() ? -1 : entry.at(0).digitValue() - 1;
    return isChannel(channel) ? channel : -1;
}

SetupOkPlan planSetupOk(const SetupValues &dialog, const SetupOkContext &context)
{
    SetupOkPlan plan;
    plan.values = dialog;

    AlarmState alarm;
    alarm.recording = context.recording;
    alarm.mainFunction = context.mainFunction;
    alarm.checked = dialog.Alarm;
    alarm.choice = dialog.T1_CK;
    alarm.highText = dialog.T1Hi;
    alarm.lowText = dialog.T1Low;
    alarm.alarmActive = context.alarmActive;
    plan.alarm = AlarmPart::onOk(alarm, context.units);
    plan.values.Alarm = plan.alarm.checked;
    // An empty unit list (no recording) keeps the stored unit instead of forgetting it.
    if (!context.units.entries.isEmpty()) plan.values.unit = context.units.index;

    plan.timeAxis = TimeAxis::onSetupOk(dialog.YScale, context.graph);

    for (int k = 0; k < ChannelCount; ++k)
        plan.tableHeader[std::size_t(k)] = dialog.Channel_n[std::size_t(k)].trimmed();

    for (const QString &entry : context.channelList) {
        const int k = channelOfListEntry(entry);
        plan.channelList << (isChannel(k) ? channelListEntry(k, dialog.Channel_n[std::size_t(k)]) : entry);
    }

    const int k = context.selectedChannel;
    if (isChannel(k)) {
        const auto i = std::size_t(k);
        plan.monitorChannel = ChannelDisplays{dialog.Channel_sn[i], dialog.Channel_p[i]};
        if (PowerCostMonitor::measuresCurrent(context.mainFunction) && context.powerCommandChecked)
            plan.powerLabels =
                SetupOkPlan::PowerLabels{{dialog.Channel_n[i], dialog.Channel_sn[i], dialog.Channel_p[i]},
                                         {dialog.Power_V, dialog.Power_cos, dialog.Power_Unit}};
    }
    return plan;
}
