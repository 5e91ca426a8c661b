#include "core/simulator/MeterSetup.h"

#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>

namespace MeterSetup
{

namespace
{

bool readInt(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < low || number > high) return false;
    *value = number;
    return true;
}

bool readDouble(const QString &text, double *value)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number)) return false;
    *value = number;
    return true;
}

int nearestIntervalCode(int ms)
{
    int best = 0;
    for (int code = 1; code < 5; ++code) {
        if (std::abs(ReceiverSimulator::intervalMsOf(code) - ms) <
            std::abs(ReceiverSimulator::intervalMsOf(best) - ms))
            best = code;
    }
    return best;
}

} // namespace

int functionCode(const QString &text)
{
    int code = -1;
    if (readInt(text, 0, Measurement::FunctionCount - 1, &code)) return code;
    for (int f = 0; f < Measurement::FunctionCount; ++f) {
        if (Measurement::functionName(f).compare(text, Qt::CaseInsensitive) == 0) return f;
    }
    return -1;
}

int prefixCode(const QString &text)
{
    int code = -1;
    if (readInt(text, 0, Measurement::PrefixCount - 1, &code)) return code;
    if (text == u"none" || text == u"-") return Measurement::NoPrefix;
    if (text == u"k") return 4;
    for (int p = 0; p < Measurement::PrefixCount; ++p) {
        if (p != Measurement::NoPrefix && Measurement::prefixText(p) == text) return p;
    }
    return -1;
}

int durationMs(const QString &text)
{
    QString number = text.trimmed();
    double scale = 1000;
    if (number.endsWith(u"ms")) {
        scale = 1;
        number.chop(2);
    } else if (number.endsWith(u's')) {
        number.chop(1);
    } else if (number.endsWith(u'm')) {
        scale = 60000;
        number.chop(1);
    }
    double value = 0;
    if (!readDouble(number, &value) || value <= 0 || value * scale > 24 * 3600 * 1000.0) return -1;
    return std::max(1, int(std::lround(value * scale)));
}

std::optional<SimulatedMeter> parse(const QString &text, quint32 baseSeed, QString *error)
{
    SimulatedMeter meter;
    bool explicitIntervalCode = false;
    bool explicitSeed = false;
    auto fail = [error](const QString &why) -> std::optional<SimulatedMeter> {
        if (error) *error = why;
        return std::nullopt;
    };

    const QStringList pairs = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0) return fail(QStringLiteral("\"%1\" is not key=value").arg(pair));
        const QString key = pair.left(equals).trimmed().toLower();
        const QString value = pair.mid(equals + 1).trimmed();
        const auto bad = [&] { return fail(QStringLiteral("bad value for %1: \"%2\"").arg(key, value)); };

        if (key == u"ch" || key == u"channel") {
            if (!readInt(value, 0, 5, &meter.channel)) return bad();
        } else if (key == u"fn" || key == u"function") {
            meter.functionCode = functionCode(value);
            if (meter.functionCode < 0) return bad();
        } else if (key == u"prefix") {
            meter.prefixCode = prefixCode(value);
            if (meter.prefixCode < 0) return bad();
        } else if (key == u"dp") {
            int divisor = 0;
            if (!readInt(value, 1, 1000, &divisor) || FrameEncoder::decimalCodeOf(divisor) < 0) return bad();
            meter.decimalCode = FrameEncoder::decimalCodeOf(divisor);
        } else if (key == u"dpcode") {
            if (!readInt(value, 0, 7, &meter.decimalCode)) return bad();
        } else if (key == u"interval") {
            int code = -1;
            if (readInt(value, 0, 4, &code)) {
                meter.intervalCode = code;
                meter.intervalMs = 0;
            } else {
                const int ms = durationMs(value);
                if (ms < 0) return bad();
                meter.intervalMs = ms;
                if (!explicitIntervalCode) meter.intervalCode = nearestIntervalCode(ms);
            }
        } else if (key == u"icode") {
            if (!readInt(value, 0, 15, &meter.intervalCode)) return bad();
            explicitIntervalCode = true;
        } else if (key == u"pattern") {
            const QString name = value.toLower();
            if (name == u"constant")
                meter.pattern = SimulatedMeter::Pattern::Constant;
            else if (name == u"ramp")
                meter.pattern = SimulatedMeter::Pattern::Ramp;
            else if (name == u"sine")
                meter.pattern = SimulatedMeter::Pattern::Sine;
            else if (name == u"walk" || name == u"randomwalk" || name == u"random-walk")
                meter.pattern = SimulatedMeter::Pattern::RandomWalk;
            else
                return bad();
        } else if (key == u"min") {
            if (!readDouble(value, &meter.minimum)) return bad();
        } else if (key == u"max") {
            if (!readDouble(value, &meter.maximum)) return bad();
        } else if (key == u"value") {
            if (!readDouble(value, &meter.level)) return bad();
        } else if (key == u"period") {
            const int ms = durationMs(value);
            if (ms < 0) return bad();
            meter.periodS = ms / 1000.0;
        } else if (key == u"seed") {
            bool ok = false;
            meter.seed = value.toUInt(&ok);
            if (!ok) return bad();
            explicitSeed = true;
        } else if (key == u"overload") {
            if (!readInt(value, 0, 1000000, &meter.overloadEvery)) return bad();
        } else if (key == u"range") {
            if (!readInt(value, 0, 1000000, &meter.rangeChangeEvery)) return bad();
        } else if (key == u"switch") {
            if (!readInt(value, 0, 1000000, &meter.functionSwitchAfter)) return bad();
        } else if (key == u"switchto") {
            meter.switchToFunction = functionCode(value);
            if (meter.switchToFunction < 0) return bad();
        } else if (key == u"delay") {
            if (!readInt(value, 0, 24 * 3600 * 1000, &meter.startDelayMs)) return bad();
        } else {
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
        }
    }
    if (meter.minimum > meter.maximum) return fail(QStringLiteral("min is above max"));
    if (!explicitSeed) meter.seed = baseSeed + quint32(meter.channel);
    return meter;
}

} // namespace MeterSetup
