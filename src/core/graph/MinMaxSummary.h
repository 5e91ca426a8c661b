#pragma once
#include <vector>

#include "core/graph/GraphInputs.h"

// What a stretch of one channel's samples holds: the smallest and the largest value among
// them (in base units, 1 mV is 0.001) and whether an overload lies among them.
struct SampleExtent {
    double low = 0;
    double high = 0;
    bool hasValue = false;
    bool overHigh = false; // "+OL"
    bool overLow = false;  // "-OL"

    void add(const SampleExtent &other);
    bool isEmpty() const { return !hasValue && !overHigh && !overLow; }
    // One sample: a number in its own prefix, an overload, or nothing for an empty cell.
    static SampleExtent of(const GraphSample &sample);
};

// The minimum and maximum of every stretch of one channel, as a pyramid of blocks: level k
// holds the extent of each whole block of 2^k samples. Appending costs O(1) amortised; the
// extent of any run of rows is found in O(log n), so a drawing of any width costs what its
// pixel columns cost, not what its samples do.
class MinMaxSummary
{
public:
    void append(const SampleExtent &sample);
    void truncate(int size); // keeps rows 1..size
    void clear() { m_levels.clear(); }
    int size() const { return m_levels.empty() ? 0 : int(m_levels.front().size()); }
    // Rows first..last (1-based, both included), clipped to the rows there are.
    SampleExtent extent(int first, int last) const;

private:
    std::vector<std::vector<SampleExtent>> m_levels;
};
