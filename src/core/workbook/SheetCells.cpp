#include "core/workbook/SheetCells.h"

void SheetCells::set(int row, int column, SheetCell cell)
{
    ++m_writes;
    if (row > m_rowCount) m_rowCount = row;
    if (column > m_columnCount) m_columnCount = column;
    if (m_byRow && row >= 1 && column >= 1) {
        const std::size_t r = std::size_t(row);
        const std::size_t c = std::size_t(column);
        const qsizetype newRows = qsizetype(r > m_rows.size() ? r - m_rows.size() : 0);
        const std::size_t length = r <= m_rows.size() ? m_rows[r - 1].size() : 0;
        const qsizetype slots = m_slots + newRows + qsizetype(c > length ? c - length : 0);
        if (slots <= SlotsPerCell * m_writes + SlotsForAnySheet) {
            if (newRows > 0) m_rows.resize(r);
            std::vector<SheetCell> &cells = m_rows[r - 1];
            if (c > cells.size()) cells.resize(c);
            cells[c - 1] = std::move(cell);
            m_slots = slots;
            return;
        }
    }
    if (m_byRow) keepByAddress();
    m_byAddress.insert(key(row, column), std::move(cell));
}

void SheetCells::keepByAddress()
{
    m_byRow = false;
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        for (std::size_t c = 0; c < m_rows[r].size(); ++c)
            if (m_rows[r][c].type != SheetCell::Type::Empty)
                m_byAddress.insert(key(int(r + 1), int(c + 1)), std::move(m_rows[r][c]));
    m_rows = {};
    m_slots = 0;
}
