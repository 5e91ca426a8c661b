// The .xlsx reader and the import rules behind it. An input whose first byte is even is a
// whole file (zip container and all); an odd one is the XML of the parts themselves, in the
// order workbook, styles, shared strings, worksheet, separated by PartSeparator, so that the
// XML parsers are reached without the fuzzer having to get past compression. The worksheet is
// read both by PlainXmlReader (where it can) and by QXmlStreamReader alone, which must agree.
// Seeds: fuzz/seeds/xlsxreader (make_seeds.c there writes the workbooks; the parts_sheet_*
// seeds are worksheets in the forms where the two XML readers part ways, and one nested past
// the depth every reader refuses).
#include <QBuffer>
#include <QList>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/workbook/WorkbookImport.h"
#include "core/workbook/XlsxParts.h"
#include "core/workbook/XlsxReader.h"

namespace
{

const QByteArray PartSeparator = "\n@@\n";

// Smaller than the program's limits, so that the fuzzer finds their edges quickly.
XlsxReader::Limits fuzzLimits()
{
    XlsxReader::Limits limits;
    limits.maxPartBytes = 4 * 1024 * 1024;
    limits.maxSharedStrings = 10'000;
    limits.maxCells = 20'000;
    return limits;
}

void checkSheet(const SheetCells &cells)
{
    if (cells.rowCount() > XlsxParts::MaxRow || cells.columnCount() > XlsxParts::MaxColumn) std::abort();
    if (cells.rowCount() < 0 || cells.columnCount() < 0) std::abort();
    const ImportedRecord record = importRecord(cells);
    if (int(record.rows.size()) > RecordStore::MaxSampleRows) std::abort();
    if (record.channelList.size() > 6 || record.lastChannel > 5) std::abort();
    if (record.mainChannel >= 0 && !record.channels[std::size_t(record.mainChannel)].present) std::abort();
    if (record.savedMainChannel < -1 || record.savedMainChannel > 5 || record.shownChannel() > 5)
        std::abort();
}

bool sameCell(const SheetCell &a, const SheetCell &b)
{
    const bool sameNumber = a.number == b.number || (std::isnan(a.number) && std::isnan(b.number));
    return a.type == b.type && a.text == b.text && a.format == b.format && a.decimals == b.decimals &&
           a.sign == b.sign && sameNumber;
}

// Every cell where the sheets are small enough to walk; their extents always.
bool sameCells(const SheetCells &a, const SheetCells &b)
{
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount() || a.isEmpty() != b.isEmpty())
        return false;
    if (qint64(a.rowCount()) * a.columnCount() > 1'000'000) return true;
    for (int row = 1; row <= a.rowCount(); ++row)
        for (int column = 1; column <= a.columnCount(); ++column)
            if (!sameCell(a.at(row, column), b.at(row, column))) return false;
    return true;
}

void fuzzFile(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    if (!device.open(QIODevice::ReadOnly)) std::abort();
    SheetCells cells;
    QString error;
    const XlsxReader::Limits limits = fuzzLimits();
    const bool read = XlsxReader(limits).read(&device, QStringLiteral("fuzz.xlsx"), &cells, &error);
    if (read != error.isEmpty()) std::abort();
    if (!read && (!cells.isEmpty() || !error.startsWith(QLatin1String("Cannot open \"fuzz.xlsx\": "))))
        std::abort();
    if (read) checkSheet(cells);
}

void fuzzParts(const QByteArray &bytes)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    while (parts.size() < 3) {
        const qsizetype at = bytes.indexOf(PartSeparator, start);
        if (at < 0) break;
        parts.append(bytes.mid(start, at - start));
        start = at + PartSeparator.size();
    }
    parts.append(bytes.mid(start));
    while (parts.size() < 4)
        parts.prepend(QByteArray());

    QString error;
    XlsxParts::Workbook workbook;
    XlsxParts::parseWorkbook(parts[0], &workbook, &error);
    XlsxParts::CellStyles styles;
    XlsxParts::parseStyles(parts[1], &styles, &error);
    const XlsxReader::Limits limits = fuzzLimits();
    std::vector<QString> strings;
    XlsxParts::parseSharedStrings(parts[2], limits.maxSharedStrings, &strings, &error);
    if (int(strings.size()) > limits.maxSharedStrings) std::abort();
    std::vector<XlsxParts::Relationship> relationships;
    XlsxParts::parseRelationships(parts[2], QStringLiteral("xl/workbook.xml"), &relationships, &error);
    const int chartColumn = XlsxParts::chartValuesColumn(parts[3]);
    if (chartColumn < 0 || chartColumn > XlsxParts::MaxColumn) std::abort();

    SheetCells cells;
    XlsxParts::SheetContext context{&strings, &styles, workbook.date1904, limits.maxCells};
    QString plainError;
    const XlsxParts::Outcome outcome = XlsxParts::parseWorksheet(parts[3], context, &cells, &plainError);
    if (outcome == XlsxParts::Outcome::Ok) checkSheet(cells);

    context.plainXmlReader = false;
    SheetCells general;
    QString generalError;
    if (XlsxParts::parseWorksheet(parts[3], context, &general, &generalError) != outcome) std::abort();
    if (generalError != plainError || !sameCells(cells, general)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (data[0] % 2 == 0)
        fuzzFile(bytes);
    else
        fuzzParts(bytes);
    return 0;
}
