#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/workbook/SheetCells.h"
#include "core/workbook/SheetValues.h"

// The XML parts of an .xlsx package, each parsed from its unpacked bytes. On failure a
// parser gives in `error` what is wrong ("line 3: ..."), for the reader to name the part.
namespace XlsxParts
{

struct Relationship {
    QString id;
    QString type;   // the full type URI; compare its last segment ("/worksheet")
    QString target; // a part name within the package, resolved ("xl/worksheets/sheet1.xml")
};
// `sourcePart` is the part the relationships belong to ("" for the package itself).
bool parseRelationships(const QByteArray &xml, const QString &sourcePart, std::vector<Relationship> *out,
                        QString *error);
// The target of the first relationship whose type ends in `typeSuffix` ("/styles"); "" if none.
QString targetOfType(const std::vector<Relationship> &relationships, QStringView typeSuffix);

struct Workbook {
    bool date1904 = false;
    QStringList sheetRelationshipIds; // in the workbook's sheet order
};
bool parseWorkbook(const QByteArray &xml, Workbook *out, QString *error);

// What each cell style (the "s" index of a cell) makes of a number.
using CellStyle = SheetValues::NumberStyle;
using CellStyles = std::vector<CellStyle>;
bool parseStyles(const QByteArray &xml, CellStyles *out, QString *error);

// Parsers that a file could make allocate without end stop at a limit and say so.
enum class Outcome { Ok, Damaged, OverLimit };

Outcome parseSharedStrings(const QByteArray &xml, int maxStrings, std::vector<QString> *out, QString *error);

struct SheetContext {
    const std::vector<QString> *sharedStrings = nullptr;
    const CellStyles *styles = nullptr;
    bool date1904 = false;
    int maxCells = 0;
    // Worksheets of plain XML, as spreadsheet programs write them, are read by PlainXmlReader;
    // anything else, or every worksheet when this is false, by QXmlStreamReader. Both read a
    // worksheet alike.
    bool plainXmlReader = true;
};
// Fills `cells` with every cell that holds a value. A cell or row given without its
// reference follows the previous one.
Outcome parseWorksheet(const QByteArray &xml, const SheetContext &context, SheetCells *cells, QString *error);

// The column (from 1) of the cells whose values the first series of a chart part plots, from
// its reference ("Sheet1!$D$8:$D$20"); 0 when the part names none.
int chartValuesColumn(const QByteArray &xml);

// Elements nested deeper than this are damage: no workbook part comes near it, and each level
// costs the XML readers memory.
constexpr int MaxElementDepth = 256;

// The sheet's limits: a reference past them is damage, not data.
constexpr int MaxRow = 1'048'576;
constexpr int MaxColumn = 16'384;

} // namespace XlsxParts
