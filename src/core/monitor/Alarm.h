#pragma once

struct AcquisitionState;
struct AlarmSetup;
struct Settings;
class AlarmSound;
class MonitorFields;
class SettingsStore;

// The high or low alarm of the main channel: its limits on the monitor, the test of each
// new reading against the active limit, the sound, and the alarm part of the Setup dialog
// as the main channel's function allows it.
class Alarm
{
public:
    // `store`: the receive handler reads "setup_Alarm" and "setup_unit" straight from the store.
    Alarm(AcquisitionState &state, MonitorFields &monitor, AlarmSetup &setup, const SettingsStore &store,
          AlarmSound &sound);

    // Shows the active limit and the armed image, or "-" when the alarm is off; silences.
    // Notifies the monitor (it runs on its own from start-up, the Setup dialog, the selector).
    void alm();
    // Tests the main channel's latest reading against the active limit of the alarm's setup and
    // switches the images.
    void beepT1();
    // One alarm sound (the timer repeats it every second while the alarm sounds).
    void beepH();

    // The alarm part of the Setup dialog for the main channel's first reading: the stored
    // "setup_Alarm" and "setup_unit" for DCV, ACV, DCA and ACA; switched off for every other
    // function.
    void setUpForFunction(int functionCode);
    // The unit list of the alarm for the function, the stored "setup_unit" selecting the DCV
    // unit, and the limits of an AC function raised to "0", as the alarm's rules give them.
    void fillUnits(int functionCode);
    // The alarm controls unchecked and disabled, the alarm disarmed (a function without alarm).
    void switchOff();
    // Disarmed and silent: both images hidden, limits "-", limit units empty.
    void disarm();

    // The Setup dialog's alarm part as its hidden load leaves it while no recording runs: the
    // stored limits and choice, the alarm switched off.
    void loadSetup(const Settings &settings);

private:
    AcquisitionState &m_state;
    MonitorFields &m_monitor;
    AlarmSetup &m_setup;
    const SettingsStore &m_store;
    AlarmSound &m_sound;
};
