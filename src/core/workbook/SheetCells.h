#pragma once
#include <QHash>
#include <QString>
#include <vector>

// One cell of a worksheet as a workbook file stores it, whatever the file format.
struct SheetCell {
    enum class Type { Empty, Number, Text, Boolean, Error };
    // What the cell's number format says a number is; only a format tells a time from a number.
    enum class NumberFormat { General, Time, Date, DateTime };

    Type type = Type::Empty;
    // Number and Boolean cells. Dates and times are serial days of the 1900 date system
    // (readers convert a workbook kept in the 1904 system).
    double number = 0;
    QString text; // Text cells; an Error cell's code ("#N/A")
    NumberFormat format = NumberFormat::General;
};

// The cells of the first worksheet, addressed 1-based (row 1, column 1 is "A1"). Cells never
// written are Empty. A sheet that is mostly filled, as a record is, is kept row by row, each
// row as long as its last cell; one whose rows would be mostly empty slots (a lone cell far
// out) is kept by address instead, so that memory follows the cells written.
class SheetCells
{
public:
    void set(int row, int column, SheetCell cell);
    const SheetCell &at(int row, int column) const
    {
        if (!m_byRow) {
            const auto found = m_byAddress.constFind(key(row, column));
            return found == m_byAddress.cend() ? empty() : *found;
        }
        if (row < 1 || std::size_t(row) > m_rows.size()) return empty();
        const std::vector<SheetCell> &cells = m_rows[std::size_t(row) - 1];
        return column < 1 || std::size_t(column) > cells.size() ? empty() : cells[std::size_t(column) - 1];
    }
    bool isEmpty() const { return m_writes == 0; }
    int rowCount() const { return m_rowCount; }       // the last row that holds a cell
    int columnCount() const { return m_columnCount; } // the last column that holds a cell

    // Row by row while the slots stay within this many per cell written (plus a few for
    // small sheets); a full record has about one.
    static constexpr qsizetype SlotsPerCell = 4;
    static constexpr qsizetype SlotsForAnySheet = 4096;
    bool isKeptByRow() const { return m_byRow; }

private:
    static const SheetCell &empty()
    {
        static const SheetCell none;
        return none;
    }
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    void keepByAddress();

    bool m_byRow = true;
    std::vector<std::vector<SheetCell>> m_rows; // m_rows[row - 1][column - 1]
    qsizetype m_slots = 0;                      // of m_rows, each row counting one too
    QHash<quint64, SheetCell> m_byAddress;
    qsizetype m_writes = 0;
    int m_rowCount = 0;
    int m_columnCount = 0;
};

// The one wording of every reader's failure, for a message to the user: the file and why
// ("it is not an .xlsx workbook"). Without a file name it speaks of "the workbook".
inline QString sheetReadFailure(const QString &fileName, const QString &reason)
{
    if (fileName.isEmpty()) return QStringLiteral("Cannot open the workbook: %1.").arg(reason);
    return QStringLiteral("Cannot open \"%1\": %2.").arg(fileName, reason);
}

// Reads the first worksheet of a workbook file. On failure `error` says why, for a message to
// the user; `cells` is then left empty.
class SheetReader
{
public:
    virtual ~SheetReader() = default;
    virtual bool read(const QString &path, SheetCells *cells, QString *error) = 0;
};
