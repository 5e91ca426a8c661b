#pragma once
#include "core/common/ChannelCount.h"
#include <QList>
#include <QString>
#include <array>

// A record's table as plain values: the rows of cells in grid numbering (row 0 the header), the
// hidden per-channel captions and the stamp. The rows are shared until one side writes to them,
// so taking a copy costs next to nothing, and a copy can be read on another thread while the
// record it came from goes on or is emptied.
struct RecordTable {
    static constexpr int ColumnCount = 20;
    using Row = std::array<QString, ColumnCount>;

    int gridRowCount() const { return int(rows.size()); }
    QString cell(int row, int column) const // "" outside the grid
    {
        if (row < 0 || row >= gridRowCount() || column < 0 || column >= ColumnCount) return {};
        return rows.at(row).at(std::size_t(column));
    }

    QList<Row> rows;
    std::array<QString, ChannelCount> functionCaption;
    std::array<QString, ChannelCount> prefixCaption;
    std::array<QString, ChannelCount> divisorCaption;
    QString stamp; // "yyyymmdd_hhnnss"
};
