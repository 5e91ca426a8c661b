#include "core/setup/AlarmPart.h"

namespace
{

// Switched off: controls disabled and clear, the alarm disarmed, the monitor's fields reset.
AlarmApplication switchedOff(const AlarmState &state, const AlarmLimits::Units &units)
{
    AlarmApplication off;
    off.highText = state.highText;
    off.lowText = state.lowText;
    off.units = units;
    return off;
}

// A recording with a function that can carry an alarm: the switch decides.
AlarmApplication bySwitch(const AlarmState &state, const AlarmLimits::Units &units)
{
    AlarmApplication result = switchedOff(state, units);
    result.checkEnabled = true;
    result.checked = state.checked;
    result.controlsEnabled = state.checked;
    result.alarmEnabled = state.checked;
    result.clearAlarmActive = !state.checked;
    if (state.checked)
        result.monitor = MonitorAlarmView::armed(state.choice, result.highText, result.lowText,
                                                 units.selected(), state.alarmActive);
    return result;
}

} // namespace

MonitorAlarmView MonitorAlarmView::armed(int choice, const QString &highText, const QString &lowText,
                                         const QString &unit, bool alarmActive)
{
    MonitorAlarmView view;
    view.armedImage = !alarmActive;
    view.soundingImage = alarmActive;
    if (choice == 1) {
        view.lowLimit = lowText;
        view.lowUnit = unit;
    } else {
        view.highLimit = highText;
        view.highUnit = unit;
    }
    return view;
}

bool MonitorAlarmView::operator==(const MonitorAlarmView &other) const
{
    return armedImage == other.armedImage && soundingImage == other.soundingImage &&
           highLimit == other.highLimit && lowLimit == other.lowLimit && highUnit == other.highUnit &&
           lowUnit == other.lowUnit;
}

namespace AlarmPart
{

AlarmApplication onLoad(const AlarmState &state, int storedUnit)
{
    if (!state.recording) return switchedOff(state, {});
    const AlarmLimits::Units units = AlarmRules::unitsFor(state.mainFunction, storedUnit);
    if (!AlarmRules::canCarryAlarm(state.mainFunction)) {
        AlarmApplication off = switchedOff(state, units);
        off.clearAlarmActive = true;
        return off;
    }
    AlarmState limited = state;
    limited.highText = AlarmRules::limitForFunction(state.mainFunction, state.highText);
    limited.lowText = AlarmRules::limitForFunction(state.mainFunction, state.lowText);
    return bySwitch(limited, units);
}

AlarmApplication onOk(const AlarmState &state, const AlarmLimits::Units &units)
{
    if (!state.recording) return switchedOff(state, units);
    if (!AlarmRules::canCarryAlarm(state.mainFunction)) {
        AlarmApplication off = switchedOff(state, units);
        off.clearAlarmActive = true;
        return off;
    }
    return bySwitch(state, units);
}

} // namespace AlarmPart
