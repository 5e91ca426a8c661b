#include "core/graph/GraphPaging.h"

#include <cmath>

#include "core/common/NumberFormat.h"

namespace GraphPaging
{

int samplesPerPage(float timeScale)
{
    // The factors are multiples of 0.25, so a page always holds a whole number of samples.
    return timeScale > 0 ? int(std::lround(100.0 * double(timeScale))) : 0;
}

int pageCount(int samples, float timeScale)
{
    const int perPage = samplesPerPage(timeScale);
    if (perPage <= 0 || samples <= 0) return 0;
    return (samples + perPage - 1) / perPage;
}

int pageOfRow(int row, float timeScale)
{
    const int perPage = samplesPerPage(timeScale);
    if (perPage <= 0 || row < 1) return 1;
    return (row - 1) / perPage + 1;
}

int firstRow(int page, float timeScale)
{
    return samplesPerPage(timeScale) * (page - 1) + 1;
}

int lastRow(int page, float timeScale)
{
    return samplesPerPage(timeScale) * page;
}

int pageNumber(const QString &pageText)
{
    bool ok = false;
    const double value = NumberFormat::parseNumber(pageText, &ok);
    if (!ok || value < 1) return 0;
    return int(std::min(std::trunc(value), double(MaxPage + 1)));
}

int nextPage(int current, int tableRows, float timeScale)
{
    const int perPage = samplesPerPage(timeScale);
    const int fullPages = perPage > 0 ? std::max(0, tableRows - 2) / perPage : 0;
    if (fullPages < current) return current;
    return std::min(current + 1, MaxPage);
}

int previousPage(int current)
{
    return current < 2 ? 1 : current - 1;
}

PageBox pageBoxRule(const QString &text, int tableRows, int sampleCount, float timeScale)
{
    if (tableRows < 3) return {text, false};
    bool ok = false;
    const double value = NumberFormat::parseNumber(text, &ok);
    // Pages run from 1: any other text (a pasted 0 or negative number too) turns to page 1,
    // which is then shown.
    if (!ok || value < 1) return {QStringLiteral("1"), true};
    int page = int(std::min(std::trunc(value), double(MaxPage)));
    const int perPage = samplesPerPage(timeScale);
    if (perPage > 0) page = std::min(page, sampleCount / perPage + 1);
    return {QString::number(page), true};
}

bool isPageBoxKey(QChar key)
{
    return (key >= u'0' && key <= u'9') || key == u'\b';
}

} // namespace GraphPaging
