#include "core/monitor/Alarm.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/NumberFormat.h"
#include "core/measurement/AlarmRules.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/MonitorFields.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"

#include <cmath>
#include <cstdlib>

namespace
{

const QString NoLimit = QStringLiteral("-");
constexpr int LowChoice = 1;
constexpr int MilliExponent = -3;

// The power of ten of a range prefix code: "n" -9, "u" -6, "m" -3, none 0, "K" 3, "M" 6.
int rangeExponent(int prefixCode)
{
    return prefixCode >= 0 && prefixCode < Measurement::PrefixCount ? 3 * (prefixCode - Measurement::NoPrefix)
                                                                    : 0;
}

// A limit moved into the display's range by an exact power of ten, and then compared in single
// precision as the reading is: through the single-precision range factors a limit of 1 V became
// 999.99995 mV, and a reading equal to the limit (1000.0 mV, or 0.7 V against 0.7) missed it.
double inDisplayRange(double limit, int exponent)
{
    const double scale = std::pow(10.0, std::abs(exponent));
    return exponent >= 0 ? limit * scale : limit / scale;
}

// "-0.000", "-0.00", "-0.0", "-0" for sign '-'; the same with '+'.
bool isSignedZero(const QString &value, QChar sign)
{
    if (!value.startsWith(sign)) return false;
    const QStringView digits = QStringView(value).mid(1);
    return digits == u"0" || digits == u"0.0" || digits == u"0.00" || digits == u"0.000";
}

bool typedNegative(const QString &limitText)
{
    return limitText.trimmed().startsWith(u'-');
}

} // namespace

Alarm::Alarm(AcquisitionState &state, MonitorFields &monitor, AlarmSetup &setup, const SettingsStore &store,
             AlarmSound &sound)
    : m_state(state), m_monitor(monitor), m_setup(setup), m_store(store), m_sound(sound)
{
}

void Alarm::alm()
{
    AcquisitionState &state = m_state;
    MonitorFields &monitor = m_monitor;
    const AlarmSetup &setup = m_setup;

    state.main.alarmActive = false;
    if (state.main.alarmEnabled) {
        monitor.armedImageVisible = true;
        monitor.soundingImageVisible = false;
        const bool low = setup.choice == LowChoice;
        monitor.label8[2] = low ? NoLimit : setup.hiText;
        monitor.label8[4] = low ? QString() : setup.selectedUnit();
        monitor.label8[3] = low ? setup.lowText : NoLimit;
        monitor.label8[5] = low ? setup.selectedUnit() : QString();
    } else {
        monitor.clearAlarmDisplay();
    }
    monitor.notify();
}

void Alarm::beepT1()
{
    AcquisitionState &state = m_state;
    const int function = state.main.function;
    if (!AlarmRules::canCarryAlarm(function)) return;
    MonitorFields &monitor = m_monitor;

    // The limit is typed in the alarm unit ("mV" only for DCV); the display shows the
    // reading in the main channel's current range.
    const bool inMilli = function == Measurement::DCV && m_setup.unitIndex == 0;
    const bool lowActive = monitor.label8[3] != NoLimit;
    const QString &limitText = lowActive ? monitor.label8[3] : monitor.label8[2];
    const float threshold =
        float(inDisplayRange(NumberFormat::parseNumber(limitText, nullptr),
                             (inMilli ? MilliExponent : 0) - rangeExponent(state.main.prefix)));

    const QString &value = monitor.bigValue;
    bool numeric = false;
    const double number = NumberFormat::parseNumber(value, &numeric);
    bool sounding = false;
    if (!numeric) {
        sounding = value == QLatin1String(lowActive ? "-OL" : "+OL");
    } else if (const float x = float(number); !lowActive) {
        // At a zero limit the sign of the displayed zero decides: "-0.00" is below 0 unless
        // the limit itself was typed as "-0".
        if (x >= threshold)
            sounding = isSignedZero(value, u'-') && threshold == 0 ? typedNegative(limitText) : true;
    } else {
        if (x <= threshold)
            sounding = isSignedZero(value, u'+') && threshold == 0 ? !typedNegative(limitText) : true;
    }

    state.main.alarmActive = sounding;
    monitor.armedImageVisible = !sounding;
    monitor.soundingImageVisible = sounding;
}

void Alarm::beepH()
{
    m_sound.play();
}

void Alarm::setUpForFunction(int functionCode)
{
    if (!AlarmRules::canCarryAlarm(functionCode)) {
        switchOff();
        return;
    }
    AlarmSetup &setup = m_setup;
    setup.checkEnabled = true;
    bool ok = false;
    const int stored =
        m_store.get(QStringLiteral("setup_Alarm"), QString::number(setup.checked ? 1 : 0)).toInt(&ok);
    if (ok) setup.checked = stored == 1;
    setup.controlsEnabled = setup.checked;
    m_state.main.alarmEnabled = setup.checked;
    fillUnits(functionCode);
}

void Alarm::fillUnits(int functionCode)
{
    AlarmSetup &setup = m_setup;
    // An empty or unreadable stored position reads as 0.
    const AlarmRules::Units units =
        AlarmRules::unitsFor(functionCode, m_store.get(QStringLiteral("setup_unit"), QString()).toInt());
    setup.units = units.entries;
    setup.unitIndex = units.index;
    setup.hiText = AlarmRules::limitForFunction(functionCode, setup.hiText);
    setup.lowText = AlarmRules::limitForFunction(functionCode, setup.lowText);
}

void Alarm::switchOff()
{
    AlarmSetup &setup = m_setup;
    setup.checked = false;
    setup.checkEnabled = false;
    setup.controlsEnabled = false;
    disarm();
}

void Alarm::disarm()
{
    AcquisitionState &state = m_state;
    state.main.alarmEnabled = false;
    state.main.alarmActive = false;
    m_monitor.clearAlarmDisplay();
}

void Alarm::loadSetup(const Settings &settings)
{
    m_setup.hiText = settings.T1Hi;
    m_setup.lowText = settings.T1Low;
    m_setup.choice = settings.T1_CK;
    // No recording runs, so the load leaves the alarm switched off.
    m_setup.checkEnabled = false;
    m_setup.checked = false;
    m_setup.controlsEnabled = false;
    m_state.main.alarmEnabled = false;
    m_monitor.clearAlarmDisplay();
    m_monitor.notify();
}
