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

// The latest reading as the alarm compares it: in single precision, as the display always was.
struct Level {
    enum class Kind {
        Number,
        SignedZero, // a zero sent with its sign ("+0", "-0.00"), which the number keeps
        Overload,   // "+OL" or "-OL": beyond every limit on its side; the number is +1 or -1
        None,       // nothing to compare
    };
    Kind kind = Kind::None;
    float number = 0;
};

// The active limit in the display's range. A limit typed as "-0" keeps its sign.
struct Limit {
    bool low = false;
    float threshold = 0;
};

Level levelOf(const QString &valueText)
{
    if (valueText == u"+OL" || valueText == u"-OL")
        return {Level::Kind::Overload, valueText.startsWith(u'-') ? -1.0f : 1.0f};
    bool numeric = false;
    const float number = float(NumberFormat::parseNumber(valueText, &numeric));
    if (!numeric) return {};
    const bool signedZero = isSignedZero(valueText, u'-') || isSignedZero(valueText, u'+');
    return {signedZero ? Level::Kind::SignedZero : Level::Kind::Number, number};
}

// -1 for a negative number or "-0", 0 otherwise.
int signRank(float x)
{
    return std::signbit(x) ? -1 : 0;
}

bool sounds(const Level &level, const Limit &limit)
{
    const auto reaches = [&limit](float x, float threshold) {
        return limit.low ? x <= threshold : x >= threshold;
    };
    switch (level.kind) {
    case Level::Kind::None:
        return false;
    case Level::Kind::Overload:
        return reaches(level.number, 0);
    case Level::Kind::SignedZero:
        // At a limit of zero the signs decide, "-0" lying below "+0": "-0.00" is below a limit
        // of 0 unless that limit was typed as "-0", and "+0.00" above a limit typed as "-0".
        if (limit.threshold == 0)
            return reaches(float(signRank(level.number)), float(signRank(limit.threshold)));
        break;
    case Level::Kind::Number:
        break;
    }
    return reaches(level.number, limit.threshold);
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
        const QString unit = setup.selectedUnit();
        monitor.alarmLimits = low ? MonitorFields::AlarmLimitTexts{NoLimit, {}, setup.lowText, unit}
                                  : MonitorFields::AlarmLimitTexts{setup.hiText, unit, NoLimit, {}};
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
    const AlarmSetup &setup = m_setup;

    // The limit is typed in the alarm unit ("mV" only for DCV); the reading comes in the main
    // channel's current range.
    Limit limit;
    limit.low = setup.choice == LowChoice;
    const bool inMilli = function == Measurement::DCV && setup.unitIndex == 0;
    limit.threshold =
        float(inDisplayRange(NumberFormat::parseNumber(limit.low ? setup.lowText : setup.hiText, nullptr),
                             (inMilli ? MilliExponent : 0) - rangeExponent(state.main.prefix)));
    const bool sounding = sounds(levelOf(state.reading.valueText), limit);

    MonitorFields &monitor = m_monitor;
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
