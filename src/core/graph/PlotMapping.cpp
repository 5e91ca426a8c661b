#include "core/graph/PlotMapping.h"

#include <cmath>

#include "core/common/NumberFormat.h"
#include "core/graph/GraphPaging.h"

namespace GraphLayout
{

QRectF userRect(double x1, double y1, double x2, double y2)
{
    return QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
}

QRectF surfaceRect(double h, double v)
{
    return userRect(-900 * h, -120 * v, 9900 * h, 1150 * v);
}

QRectF plotRect(double h, double v)
{
    return userRect(0, 0, PlotWidth * h, PlotHeight * v);
}

} // namespace GraphLayout

PlotMapping::PlotMapping(const GraphGeometry &geometry, float timeScale, int page, const VerticalScale &scale)
    : m_slot(GraphLayout::SlotWidth * geometry.h / double(timeScale)),
      m_origin(double(GraphPaging::samplesPerPage(timeScale)) * (page - 1)),
      m_stepY(GraphLayout::StepHeight * geometry.v), m_scale(scale)
{
}

double PlotMapping::x(int row) const
{
    return (row - m_origin) * m_slot;
}

double PlotMapping::y(double value) const
{
    return (value - m_scale.bottom) / m_scale.step * m_stepY;
}

QVector<TimeMark> timeMarks(int page, float timeScale, const GraphGeometry &geometry)
{
    const double h = geometry.h;
    const double before = double(GraphPaging::samplesPerPage(timeScale)) * (page - 1);
    const double y = -15 * geometry.v;
    QVector<TimeMark> marks;
    marks.append({int(std::floor(before)) + 1, {-70 * h, y}});
    for (int j = 1; j <= 4; ++j)
        marks.append({int(std::floor(before + 20.0 * j * double(timeScale))),
                      {20 * j * GraphLayout::SlotWidth * h - 200 * h, y}});
    marks.append(
        {int(std::floor(before + 100.0 * double(timeScale))), {GraphLayout::PlotWidth * h - 520 * h, y}});
    return marks;
}

std::optional<double> displayValue(const GraphSample &sample, int displayPrefix)
{
    bool ok = false;
    const double value = NumberFormat::parseNumber(sample.value, &ok);
    if (!ok) return std::nullopt;
    const int samplePrefix = Measurement::prefixCodeOfUnit(sample.unit);
    if (samplePrefix == displayPrefix) return value;
    // The prefix factors are powers of ten kept in single precision; their quotient is
    // taken as the exact power of ten, so 1.500 V reads 1500 mV and not 1499.9999.
    const double ratio =
        double(Measurement::prefixFactor(samplePrefix)) / double(Measurement::prefixFactor(displayPrefix));
    const double exponent = std::round(std::log10(ratio));
    return exponent >= 0 ? value * std::pow(10.0, exponent) : value / std::pow(10.0, -exponent);
}
