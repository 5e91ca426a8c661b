#include "core/graph/VerticalScale.h"

#include <cmath>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"

namespace GraphScale
{
namespace
{

// The fine scale works in tenths, rounded as its "##0.0" picture rounds.
double toTenths(double value)
{
    return NumberFormat::parseNumber(NumberFormat::format(value, u"##0.0"), nullptr);
}

std::optional<double> shownBound(const QString &display, const ScaleInput &input)
{
    if (display.isEmpty()) return std::nullopt;
    bool ok = false;
    const double value = NumberFormat::parseNumber(display, &ok);
    if (ok) return value;
    return display == QLatin1String("+OL") ? input.upperLimit : input.lowerLimit;
}

} // namespace

bool isNonNegativeFunction(int function)
{
    using namespace Measurement;
    return function == ACV || function == ACA || function == OHM || function == CAP || function == Hz ||
           function == Continuity;
}

std::optional<VerticalScale> autoscale(const ScaleInput &input)
{
    const std::optional<double> shownHi = shownBound(input.maxDisplay, input);
    const std::optional<double> shownLo = shownBound(input.minDisplay, input);
    if (!shownHi || !shownLo) return std::nullopt;
    const double hi = *shownHi;
    double lo = *shownLo;

    double span = 0;
    if ((hi > 0 && lo > 0) || (hi < 0 && lo < 0))
        span = std::fabs(hi - lo);
    else if (hi > 0)
        span = std::fabs(hi + lo);
    else
        span = std::fabs(hi - lo);
    const double d = (hi - lo) / 23;
    const bool nonNegative = isNonNegativeFunction(input.function);

    VerticalScale scale;
    if (span < 11) {
        double step = d < 0.1 ? 0.1 : toTenths(d + 0.05);
        const double margin = d < 0.06 ? 10 * step : step;
        double bottom = toTenths(lo - margin);
        if (nonNegative && bottom < 0) {
            bottom = 0;
            lo = margin;
        }
        if ((lo - margin) + Steps * step < hi) step += 0.1;
        scale = {bottom, step, toTenths(Steps * step + bottom)};
    } else {
        double step = std::trunc(d + 0.5);
        if (step < 1) step = 1;
        const double margin = d < 0.6 ? 10 * step : step;
        double bottom = std::trunc(lo - margin);
        if (nonNegative && bottom < 0) {
            bottom = 0;
            lo = margin;
        }
        if (std::trunc(lo - margin) + Steps * step < hi) step += 1;
        scale = {bottom, step, Steps * step + bottom};
    }
    return scale;
}

QStringList valueLabels(const VerticalScale &scale)
{
    const bool wholeStep = scale.step == std::trunc(scale.step);
    QStringList labels;
    for (int i = 0; i < LabelCount; ++i) {
        const double value = scale.bottom + StepsPerLabel * i * scale.step;
        labels << (wholeStep ? generalText(value) : NumberFormat::format(value, u"#########0.0"));
    }
    return labels;
}

double valueLabelColumn(const VerticalScale &scale)
{
    const qsizetype length = generalText(scale.bottom + Steps * scale.step).size();
    if (length > 7) return -900;
    if (length >= 6) return -700;
    return -550;
}

QString generalText(double value)
{
    if (value == 0) return QStringLiteral("0"); // no "-0"
    return QString::number(value, 'g', 15).toUpper();
}

} // namespace GraphScale
