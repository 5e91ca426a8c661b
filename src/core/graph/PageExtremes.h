#pragma once
#include <QString>
#include <optional>

#include "core/graph/GraphInputs.h"

// One extreme as the monitor shows it: the sample's own texts.
struct ShownExtreme {
    QString value;
    QString unit;
    QString time;
};

struct PageExtremes {
    ShownExtreme maximum;
    ShownExtreme minimum;
};

// The range an overload sample stands for: the limits of the main channel's current range.
struct OverloadRange {
    double upper = 0;
    double lower = 0;
    int prefix = 3; // the prefix the limits are expressed in
};

namespace GraphPageExtremes
{

// The largest and the smallest sample of a graph page, compared on one scale whatever their
// prefixes; "+OL" and "-OL" stand for the range's limits. The earliest of equal values wins.
// Nothing when the page's first row holds no sample.
std::optional<PageExtremes> of(const GraphRecord &record, int page, float timeScale,
                               const OverloadRange &range);
// The same over the rows `first` to `last` (1-based, `last` at most the record's samples): what
// a wider page shows.
std::optional<PageExtremes> ofRows(const GraphRecord &record, int first, int last,
                                   const OverloadRange &range);

} // namespace GraphPageExtremes
