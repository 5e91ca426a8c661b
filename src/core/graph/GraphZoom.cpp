#include "core/graph/GraphZoom.h"

#include <algorithm>

namespace GraphZoom
{

int lastLevel(int perPage, int rows)
{
    if (perPage <= 0) return 0;
    int level = 0;
    for (qint64 width = perPage; width < rows; width *= Factor)
        ++level;
    return level;
}

int span(int level, int perPage, int rows)
{
    const int last = lastLevel(perPage, rows);
    level = std::min(level, last);
    if (level == last && last > 0) {
        const int pages = (std::max(rows, 1) + perPage - 1) / perPage;
        return pages * perPage;
    }
    int width = perPage;
    for (int k = 0; k < level; ++k)
        width *= Factor;
    return width;
}

Window window(int level, int page, int perPage, int rows)
{
    const int width = span(level, perPage, rows);
    if (width <= 0) return {1, 0};
    const int pageFirst = (std::max(page, 1) - 1) * perPage + 1;
    return {(pageFirst - 1) / width * width + 1, width};
}

} // namespace GraphZoom
