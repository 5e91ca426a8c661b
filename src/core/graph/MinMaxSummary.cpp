#include "core/graph/MinMaxSummary.h"

#include <algorithm>
#include <cmath>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"

void SampleExtent::add(const SampleExtent &other)
{
    if (other.hasValue) {
        low = hasValue ? std::min(low, other.low) : other.low;
        high = hasValue ? std::max(high, other.high) : other.high;
        hasValue = true;
    }
    overHigh = overHigh || other.overHigh;
    overLow = overLow || other.overLow;
}

SampleExtent SampleExtent::of(const GraphSample &sample)
{
    SampleExtent extent;
    if (sample.value == QLatin1String("+OL")) {
        extent.overHigh = true;
    } else if (sample.value == QLatin1String("-OL")) {
        extent.overLow = true;
    } else {
        bool ok = false;
        const double value = NumberFormat::parseNumber(sample.value, &ok);
        if (ok) {
            // Prefixes are powers of 1000: scaled by an exact power of ten.
            const double factor =
                double(Measurement::prefixFactor(Measurement::prefixCodeOfUnit(sample.unit)));
            const double exponent = std::round(std::log10(factor));
            const double base =
                exponent >= 0 ? value * std::pow(10.0, exponent) : value / std::pow(10.0, -exponent);
            extent = {base, base, true, false, false};
        }
    }
    return extent;
}

void MinMaxSummary::append(const SampleExtent &sample)
{
    if (m_levels.empty()) m_levels.emplace_back();
    m_levels[0].push_back(sample);
    // A block is complete when its level below has an even count: merge its two halves upwards.
    for (std::size_t k = 0; m_levels[k].size() % 2 == 0; ++k) {
        if (k + 1 == m_levels.size()) m_levels.emplace_back();
        SampleExtent merged = m_levels[k][m_levels[k].size() - 2];
        merged.add(m_levels[k].back());
        m_levels[k + 1].push_back(merged);
    }
}

void MinMaxSummary::truncate(int size)
{
    for (std::size_t k = 0; k < m_levels.size(); ++k)
        m_levels[k].resize(std::min(m_levels[k].size(), std::size_t(std::max(0, size)) >> k));
    while (!m_levels.empty() && m_levels.back().empty())
        m_levels.pop_back();
}

SampleExtent MinMaxSummary::extent(int first, int last) const
{
    SampleExtent found;
    // Half-open [a, b) of 0-based indices, narrowed level by level to whole blocks.
    std::size_t a = std::size_t(std::max(first, 1) - 1);
    std::size_t b = std::size_t(std::max(0, std::min(last, size())));
    for (std::size_t k = 0; a < b && k < m_levels.size(); ++k) {
        const std::vector<SampleExtent> &level = m_levels[k];
        if (a & 1) found.add(level[a++]);
        if (b & 1) found.add(level[--b]);
        a >>= 1;
        b >>= 1;
    }
    return found;
}
