#include "core/workbook/SheetCells.h"

#include <algorithm>

namespace
{
constexpr qsizetype PlacesPerRow = qsizetype(sizeof(std::vector<qint32>) / sizeof(qint32));
} // namespace

void SheetCells::set(int row, int column, SheetCell cell)
{
    ++m_writes;
    if (row > m_rowCount) m_rowCount = row;
    if (column > m_columnCount) m_columnCount = column;
    if (m_byRow && row >= 1 && column >= 1) {
        const std::size_t r = std::size_t(row);
        const std::size_t c = std::size_t(column);
        const std::size_t newRows = r > m_rows.size() ? r - m_rows.size() : 0;
        const std::size_t length = r <= m_rows.size() ? m_rows[r - 1].size() : 0;
        const qsizetype needed =
            m_places + PlacesPerRow * qsizetype(newRows) + qsizetype(c > length ? c - length : 0);
        if (needed <= PlacesPerCell * m_writes + PlacesForAnySheet) {
            m_places = needed;
            if (newRows > 0) m_rows.resize(r);
            std::vector<qint32> &places = m_rows[r - 1];
            // Rows are mostly as long as the one above, which is counted already.
            if (places.empty() && r >= 2) places.reserve(std::max(c, m_rows[r - 2].size()));
            if (c > places.size()) places.resize(c, -1);
            qint32 &place = places[c - 1];
            if (place >= 0) {
                m_cells[std::size_t(place)] = std::move(cell);
            } else {
                place = qint32(m_cells.size());
                m_cells.push_back(std::move(cell));
            }
            return;
        }
    }
    if (m_byRow) keepByAddress();
    m_byAddress.insert(key(row, column), std::move(cell));
}

std::vector<int> SheetCells::filledRows(int first) const
{
    std::vector<int> rows;
    if (m_byRow) {
        for (std::size_t r = std::size_t(qMax(first, 1)); r <= m_rows.size(); ++r)
            if (std::any_of(m_rows[r - 1].cbegin(), m_rows[r - 1].cend(),
                            [](qint32 place) { return place >= 0; }))
                rows.push_back(int(r));
        return rows;
    }
    for (auto it = m_byAddress.cbegin(); it != m_byAddress.cend(); ++it)
        if (const int row = int(it.key() >> 32); row >= first) rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void SheetCells::keepByAddress()
{
    m_byRow = false;
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        for (std::size_t c = 0; c < m_rows[r].size(); ++c)
            if (const qint32 place = m_rows[r][c]; place >= 0)
                m_byAddress.insert(key(int(r + 1), int(c + 1)), std::move(m_cells[std::size_t(place)]));
    m_rows = {};
    m_cells = {};
    m_places = 0;
}
