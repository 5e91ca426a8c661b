#pragma once
#include <QString>

#include "core/setup/AlarmLimits.h"

// The monitor's alarm fields as the Setup dialog leaves them: the two alarm images
// (Image1(0) armed and quiet, Image1(1) sounding), the limit displays Label8(2) (high) and
// Label8(3) (low) and their unit displays Label8(4) and Label8(5).
struct MonitorAlarmView {
    bool armedImage = false;
    bool soundingImage = false;
    QString highLimit = QStringLiteral("-");
    QString lowLimit = QStringLiteral("-");
    QString highUnit;
    QString lowUnit;

    // Armed: the active limit ("Hi" = choice 0, "Low" = 1) with its unit, "-" for the other.
    static MonitorAlarmView armed(int choice, const QString &highText, const QString &lowText,
                                  const QString &unit, bool alarmActive);
    bool operator==(const MonitorAlarmView &other) const;
};

// What the alarm part of the Setup dialog holds and decides.
struct AlarmState {
    bool recording = false; // the recording command carries its check mark
    int mainFunction = -1;
    bool checked = false; // "Alarm  : " (Check2)
    int choice = 0;       // T1_CK: 0 "Hi", 1 "Low"
    QString highText;     // Text1(0)
    QString lowText;      // Text1(1)
    bool alarmActive = false;
};

// The alarm part after a rule ran: the dialog's controls, the shared alarm flags and the
// monitor's alarm fields.
struct AlarmApplication {
    bool checkEnabled = false;    // Check2 enabled
    bool checked = false;         // Check2 value
    bool controlsEnabled = false; // Option2(0..1), Text1(0..1), Label1, Combo2
    QString highText;
    QString lowText;
    AlarmLimits::Units units;  // Combo2 entries and selection
    bool alarmEnabled = false; // alarm armed (AcquisitionState alarmEnabled)
    bool clearAlarmActive = false;
    MonitorAlarmView monitor;
};

namespace AlarmPart
{

// "Alarm  : " clicked: the limits, the Hi/Low choice and the unit list follow the box.
inline bool controlsEnabledWhenChecked(bool checked)
{
    return checked;
}

// The dialog loaded: off and disabled while no recording runs; for DCV, ACV, DCA and ACA the
// unit list is refilled (the stored setup_unit selects the DCV unit), AC limits below 0 become
// "0", and the stored alarm switch decides; any other function switches the alarm off.
AlarmApplication onLoad(const AlarmState &state, int storedUnit);
// OK pressed with the dialog's current unit list.
AlarmApplication onOk(const AlarmState &state, const AlarmLimits::Units &units);

} // namespace AlarmPart
