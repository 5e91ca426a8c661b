#pragma once
#include "core/setup/AlarmLimits.h"
#include "core/setup/AlarmPart.h"
#include "core/setup/SetupValues.h"

struct AcquisitionState;
struct AlarmSetup;
class GraphHooks;
class MonitorFields;
class PowerCostMonitor;
class RecordStore;
class RecordingStatus;
class UserSettings;
class WindowVisibility;

// The Setup dialog's procedures on the session: its load (the setup group read again and the
// alarm part applied to the monitor), power_en, the context its limit boxes are checked in,
// and OK and Cancel with their effects on the settings, the monitor, the table, the graph and
// the power cost window. The window shows values() and alarm() and hands back what the user
// made of them.
class SetupProcedures
{
public:
    struct Collaborators {
        UserSettings &settings;
        AcquisitionState &state;
        AlarmSetup &alarmSetup;
        MonitorFields &monitor;
        RecordStore &record;
        const RecordingStatus &status;
        const WindowVisibility &windows;
        GraphHooks &graph;
        PowerCostMonitor &power;
    };
    explicit SetupProcedures(const Collaborators &collaborators);

    // Loading the dialog: the store read into the settings (setup_unit only for a DCV main
    // channel), the port taken over, and the alarm part as the recording state and the main
    // channel's function allow it.
    void load();
    // The values the loaded dialog shows.
    SetupValues values() const;
    // Its alarm controls: enabled states, the unit list and its selection.
    const AlarmSetup &alarm() const { return m_.alarmSetup; }
    int mainFunction() const;
    // power_en: the power fields are locked while the power cost monitor runs on a recording.
    bool powerFieldsEnabled() const;
    // What a limit box's text is checked against, with the unit the dialog's list shows.
    AlarmLimits::Context limitContext(const QString &unit) const;

    // "" when OK can take the dialog's values, else the reason it cannot (the energy's voltage
    // channels and rates, checked against the channels' functions in the record).
    QString refusal(const SetupValues &dialog) const;
    // OK with the dialog's values and unit list; the dialog closes and the next access finds
    // it loaded again. Cancel has no procedure: the dialog's edits live in its controls, so the
    // alarm, the monitor and the settings stay as they were before it opened (loading the store
    // again would arm an alarm the user never set on this record).
    void ok(const SetupValues &dialog, const AlarmLimits::Units &units);

private:
    bool recording() const;
    void applyAlarm(const AlarmApplication &alarm, int choice);

    Collaborators m_;
};
