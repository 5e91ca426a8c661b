#pragma once
#include <QHash>
#include <QString>

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
// written are Empty.
class SheetCells
{
public:
    void set(int row, int column, const SheetCell &cell)
    {
        m_cells.insert(key(row, column), cell);
        if (row > m_rowCount) m_rowCount = row;
        if (column > m_columnCount) m_columnCount = column;
    }
    SheetCell at(int row, int column) const { return m_cells.value(key(row, column)); }
    bool isEmpty() const { return m_cells.isEmpty(); }
    int rowCount() const { return m_rowCount; }       // the last row that holds a cell
    int columnCount() const { return m_columnCount; } // the last column that holds a cell

private:
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    QHash<quint64, SheetCell> m_cells;
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
