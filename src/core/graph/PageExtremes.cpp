#include "core/graph/PageExtremes.h"

#include <algorithm>

#include "core/common/NumberFormat.h"
#include "core/graph/GraphPaging.h"
#include "core/measurement/MeasurementTables.h"

namespace GraphPageExtremes
{
namespace
{

// The sample in base units; nothing for an empty cell.
std::optional<double> comparable(const GraphSample &sample, const OverloadRange &range)
{
    if (sample.value == QLatin1String("+OL"))
        return range.upper * double(Measurement::prefixFactor(range.prefix));
    if (sample.value == QLatin1String("-OL"))
        return range.lower * double(Measurement::prefixFactor(range.prefix));
    bool ok = false;
    const double value = NumberFormat::parseNumber(sample.value, &ok);
    if (!ok) return std::nullopt;
    return value * double(Measurement::prefixFactor(Measurement::prefixCodeOfUnit(sample.unit)));
}

} // namespace

std::optional<PageExtremes> of(const GraphRecord &record, int page, float timeScale,
                               const OverloadRange &range)
{
    if (page < 1) return std::nullopt;
    return ofRows(record, GraphPaging::firstRow(page, timeScale), GraphPaging::lastRow(page, timeScale),
                  range);
}

std::optional<PageExtremes> ofRows(const GraphRecord &record, int first, int last, const OverloadRange &range)
{
    last = std::min(last, record.sampleCount());
    if (first < 1 || first > last || record.sample(first).value.isEmpty()) return std::nullopt;

    std::optional<PageExtremes> found;
    double largest = 0;
    double smallest = 0;
    for (int row = first; row <= last; ++row) {
        const GraphSample sample = record.sample(row);
        const std::optional<double> value = comparable(sample, range);
        if (!value) continue;
        const ShownExtreme shown{sample.value, sample.unit, sample.time};
        if (!found) {
            found = PageExtremes{shown, shown};
            largest = smallest = *value;
            continue;
        }
        if (*value > largest) {
            largest = *value;
            found->maximum = shown;
        }
        if (*value < smallest) {
            smallest = *value;
            found->minimum = shown;
        }
    }
    return found;
}

} // namespace GraphPageExtremes
