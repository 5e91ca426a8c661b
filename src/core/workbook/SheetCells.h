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
    // The places after the point a plain decimal format ("0", "0.00") shows a number with; -1
    // for any other format.
    int decimals = -1;
    char16_t sign = 0; // a sign such a format shows before the number as text ('+', '-'), or 0
};

// The cells of the first worksheet, addressed 1-based (row 1, column 1 is "A1"). Cells never
// written are Empty. A sheet that is mostly filled, as a record is, is kept row by row: each
// row a list of places as long as its last cell, pointing into the cells. One whose places
// would far outnumber its cells (a lone cell far out) is kept by address instead, so that
// memory follows the cells written.
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
        const std::vector<qint32> &places = m_rows[std::size_t(row) - 1];
        if (column < 1 || std::size_t(column) > places.size()) return empty();
        const qint32 place = places[std::size_t(column) - 1];
        return place < 0 ? empty() : m_cells[std::size_t(place)];
    }
    bool isEmpty() const { return m_writes == 0; }
    int rowCount() const { return m_rowCount; } // the last row that holds a cell
    // The rows from `first` on that hold a cell, in order.
    std::vector<int> filledRows(int first) const;
    int columnCount() const { return m_columnCount; } // the last column that holds a cell
    // The column whose cells the sheet's first chart plots, told by readers that read charts;
    // 0 otherwise.
    int chartValuesColumn() const { return m_chartValuesColumn; }
    void setChartValuesColumn(int column) { m_chartValuesColumn = column; }

    // Row by row while the places (a row counting as six, the size of its list) stay within
    // this many per cell written, plus some for small sheets: at most 32 bytes a cell, about
    // what a hash of them takes. A full record has about one; one of channel 6 alone, five.
    static constexpr qsizetype PlacesPerCell = 8;
    static constexpr qsizetype PlacesForAnySheet = 65'536;
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
    std::vector<SheetCell> m_cells;          // in the order first written
    std::vector<std::vector<qint32>> m_rows; // m_rows[row - 1][column - 1]: index into m_cells, or -1
    qsizetype m_places = 0;
    QHash<quint64, SheetCell> m_byAddress;
    qsizetype m_writes = 0;
    int m_rowCount = 0;
    int m_columnCount = 0;
    int m_chartValuesColumn = 0;
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
