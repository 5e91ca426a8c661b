#include "core/graph/LaneLayout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/common/ChannelCount.h"
#include "core/measurement/MeasurementTables.h"

namespace LaneLayout
{

qreal pixelOf(const QSizeF &device, const QSize &pixels)
{
    if (pixels.isEmpty()) return 1;
    return std::sqrt(device.width() / pixels.width() * device.height() / pixels.height());
}

Arrangement arrange(int count, const QRectF &surface, qreal fontPixels)
{
    Arrangement result;
    const qreal left = 7.5 * fontPixels;
    const qreal bottom = 1.8 * fontPixels;
    const qreal margin = 0.5 * fontPixels;
    result.plot = QRectF(QPointF(surface.left() + left, surface.top() + margin),
                         QPointF(surface.right() - margin, surface.bottom() - bottom));
    result.timeTop = result.plot.bottom() + 0.3 * fontPixels;
    if (count <= 0) return result;
    const qreal gap = 0.4 * fontPixels;
    const qreal height = (result.plot.height() - gap * (count - 1)) / count;
    for (int i = 0; i < count; ++i)
        result.lanes.append(
            QRectF(result.plot.left(), result.plot.top() + i * (height + gap), result.plot.width(), height));
    return result;
}

QVector<ValueLabel> valueLabels(const QRectF &lane, qreal left, qreal fontPixels)
{
    // A line of text with its leading; kept inside the lane's own height, so neighbours'
    // labels stay apart by the gap between lanes.
    const qreal height = 1.25 * fontPixels;
    const auto place = [&](int index) {
        const qreal y = std::clamp(lane.bottom() - index * lane.height() / 5, lane.top() + height / 2,
                                   lane.bottom() - height / 2);
        return ValueLabel{index, QRectF(left, y - height / 2, lane.left() - left - 0.4 * fontPixels, height)};
    };
    // Every label, every second one, ... up to the bottom and the top alone.
    for (int stride = 1; stride <= 5; ++stride) {
        QVector<ValueLabel> labels;
        for (int index = 0; 5 - index >= stride; index += stride)
            labels.append(place(index));
        labels.append(place(5));
        bool apart = true;
        for (int i = 1; i < labels.size(); ++i)
            apart = apart && labels.at(i).box.bottom() <= labels.at(i - 1).box.top();
        if (apart) return labels;
    }
    return {place(0)};
}

QString label(int channel, int function, int prefix)
{
    return QStringLiteral("Ch%1 %2 %3")
        .arg(channel + 1)
        .arg(Measurement::functionName(function),
             Measurement::prefixText(prefix) + Measurement::unitText(function));
}

QColor colour(int channel, int mainChannel, const QColor &mainTrace)
{
    // Bright enough on the graph's dark default background, and apart from each other.
    static const std::array<QColor, ChannelCount> palette{QColor(255, 255, 0), QColor(0, 255, 255),
                                                          QColor(0, 255, 0),   QColor(255, 0, 255),
                                                          QColor(255, 160, 0), QColor(255, 255, 255)};
    if (channel == mainChannel) return mainTrace;
    return palette[std::size_t(std::clamp(channel, 0, 5))];
}

double inPrefix(double baseValue, int prefix)
{
    const double exponent = std::round(std::log10(double(Measurement::prefixFactor(prefix))));
    return exponent >= 0 ? baseValue / std::pow(10.0, exponent) : baseValue * std::pow(10.0, -exponent);
}

std::optional<VerticalScale> scale(const LaneChannel &lane, int first, int last)
{
    if (!lane.summary) return std::nullopt;
    const SampleExtent extent = lane.summary->extent(first, last);
    if (extent.isEmpty()) return std::nullopt;
    Measurement::DisplayLimits limits;
    const bool hasLimits = Measurement::displayLimits(lane.function, lane.displayPrefix, &limits);
    const double upper = hasLimits ? limits.upper : 0;
    const double lower = hasLimits ? limits.lower : 0;
    // The page's extremes as the monitor would show them: numbers, or an overload's limit.
    std::optional<double> hi;
    std::optional<double> lo;
    const auto take = [&](double value) {
        hi = hi ? std::max(*hi, value) : value;
        lo = lo ? std::min(*lo, value) : value;
    };
    if (extent.hasValue) {
        take(inPrefix(extent.high, lane.displayPrefix));
        take(inPrefix(extent.low, lane.displayPrefix));
    }
    if (extent.overHigh) take(upper);
    if (extent.overLow) take(lower);
    const ScaleInput input{GraphScale::generalText(*hi), GraphScale::generalText(*lo), lane.function, upper,
                           lower};
    return GraphScale::autoscale(input);
}

} // namespace LaneLayout
