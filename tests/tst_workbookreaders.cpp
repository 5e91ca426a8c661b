#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output.h>
#include <minizip/zip.h>
#include <zlib.h>

#include "core/common/NumberFormat.h"
#include "core/workbook/SheetDates.h"
#include "core/workbook/SheetValues.h"
#include "core/workbook/WorkbookFormat.h"
#include "core/workbook/WorkbookImport.h"
#include "core/workbook/XlsReader.h"
#include "core/workbook/XlsxParts.h"
#include "core/workbook/XlsxReader.h"

// The workbook readers: .xlsx packages built part by part, .xls record streams built record by
// record and files converted by a real spreadsheet program (tests/data/xls, see its README), the
// number formats and serial days both share, and the import of the cells read into the table.
namespace
{

// Sheet cells as a workbook reader hands them out, and one line of text for comparing them.
SheetCell number(double value, SheetCell::NumberFormat format = SheetCell::NumberFormat::General,
                 int decimals = -1, char16_t sign = 0)
{
    return {SheetCell::Type::Number, value, {}, format, decimals, sign};
}

SheetCell text(const QString &value, SheetCell::Type type = SheetCell::Type::Text)
{
    return {type, 0, value};
}

// "'text", "!error", "?1" for a boolean, "12.5" with "/time", "/date", "/datetime", "#2" for
// the places its format shows and the sign it shows ("0.00", "+"0), "" for an empty cell.
QString rendered(const SheetCell &cell)
{
    static const char *const kinds[] = {"", "/time", "/date", "/datetime"};
    switch (cell.type) {
    case SheetCell::Type::Empty:
        return {};
    case SheetCell::Type::Text:
        return u'\'' + cell.text;
    case SheetCell::Type::Error:
        return u'!' + cell.text;
    case SheetCell::Type::Boolean:
        return u'?' + QString::number(cell.number);
    case SheetCell::Type::Number:
        break;
    }
    return QString::number(cell.number, 'g', 12) + QLatin1String(kinds[int(cell.format)]) +
           (cell.decimals < 0 ? QString() : QStringLiteral("#%1").arg(cell.decimals)) +
           (cell.sign ? QString(QChar(cell.sign)) : QString());
}

// Every cell that holds something, "R1C1=… R1C2=…", row by row.
QString rendered(const SheetCells &cells)
{
    QStringList out;
    for (int row = 1; row <= cells.rowCount(); ++row)
        for (int column = 1; column <= cells.columnCount(); ++column)
            if (cells.at(row, column).type != SheetCell::Type::Empty)
                out << QStringLiteral("R%1C%2=%3").arg(row).arg(column).arg(rendered(cells.at(row, column)));
    return out.join(u' ');
}

// --- .xlsx packages ---

using Kind = SheetCell::NumberFormat;
using Type = SheetCell::Type;

struct Part {
    QByteArray name;
    QByteArray data;
    // Set to write the part packed already and claim this unpacked size and checksum.
    qint64 claimedSize = -1;
    uLong claimedCrc = 0;
};

QByteArray rawDeflate(const QByteArray &data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// Packs parts the way any zip tool does, with minizip's writer.
void writeZip(const QString &path, const QList<Part> &parts, int method = Z_DEFLATED)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    QVERIFY(zip);
    for (const Part &part : parts) {
        zip_fileinfo info{};
        const bool raw = part.claimedSize >= 0;
        QCOMPARE(zipOpenNewFileInZip2_64(zip, part.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                         method, Z_DEFAULT_COMPRESSION, raw ? 1 : 0, 1),
                 ZIP_OK);
        const QByteArray bytes = raw ? rawDeflate(part.data) : part.data;
        QCOMPARE(zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())), ZIP_OK);
        if (raw)
            QCOMPARE(zipCloseFileInZipRaw64(zip, ZPOS64_T(part.claimedSize), part.claimedCrc), ZIP_OK);
        else
            QCOMPARE(zipCloseFileInZip(zip), ZIP_OK);
    }
    QCOMPARE(zipClose(zip, nullptr), ZIP_OK);
}

const QByteArray RelationshipsNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray PackageRelsNs = "http://schemas.openxmlformats.org/package/2006/relationships";

QByteArray relationships(const QList<std::array<QByteArray, 3>> &entries,
                         const QByteArray &typeBase = RelationshipsNs)
{
    QByteArray xml = "<?xml version=\"1.0\"?><Relationships xmlns=\"" + PackageRelsNs + "\">";
    for (const auto &[id, type, target] : entries)
        xml += "<Relationship Id=\"" + id + "\" Type=\"" + typeBase + "/" + type + "\" Target=\"" + target +
               "\"/>";
    return xml + "</Relationships>";
}

QByteArray workbookXml(const QByteArray &sheets, const QByteArray &workbookPr = {})
{
    return "<?xml version=\"1.0\"?><workbook "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"" +
           RelationshipsNs + "\">" + workbookPr + "<sheets>" + sheets + "</sheets></workbook>";
}

QByteArray sheetXml(const QByteArray &rows)
{
    return "<?xml version=\"1.0\"?><worksheet "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

// A package as spreadsheet programs lay it out: one sheet, shared strings and styles when given.
QList<Part> workbookParts(const QByteArray &rows, const QByteArray &strings = {},
                          const QByteArray &styles = {}, const QByteArray &workbookPr = {})
{
    QList<std::array<QByteArray, 3>> links{{"rId1", "worksheet", "worksheets/sheet1.xml"}};
    QList<Part> parts{
        {"_rels/.rels", relationships({{"rId1", "officeDocument", "xl/workbook.xml"}})},
        {"xl/workbook.xml", workbookXml("<sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>", workbookPr)},
        {"xl/worksheets/sheet1.xml", sheetXml(rows)},
    };
    if (!strings.isEmpty()) {
        links.append({"rId2", "sharedStrings", "sharedStrings.xml"});
        parts.append({"xl/sharedStrings.xml", "<sst>" + strings + "</sst>"});
    }
    if (!styles.isEmpty()) {
        links.append({"rId3", "styles", "styles.xml"});
        parts.append({"xl/styles.xml", "<styleSheet>" + styles + "</styleSheet>"});
    }
    parts.append({"xl/_rels/workbook.xml.rels", relationships(links)});
    return parts;
}

// number format 164 "hh:mm:ss" on style 1, built-in 14 (date) on 2, 22 (date and time) on 3,
// "0.00" on 4, "[h]:mm" on 5, "-"0 on 6, built-in 2 ("0.00") on 7
const QByteArray TimeAndDateStyles =
    "<numFmts count=\"4\"><numFmt numFmtId=\"164\" formatCode=\"hh:mm:ss\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"0.00\"/><numFmt numFmtId=\"166\" formatCode=\"[h]:mm\"/>"
    "<numFmt numFmtId=\"167\" formatCode=\"&quot;-&quot;0\"/></numFmts>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
    "<cellXfs count=\"8\"><xf numFmtId=\"0\"/><xf numFmtId=\"164\" applyNumberFormat=\"1\"/><xf "
    "numFmtId=\"14\"/><xf numFmtId=\"22\"/><xf numFmtId=\"165\"/><xf numFmtId=\"166\"/><xf numFmtId=\"167\"/>"
    "<xf numFmtId=\"2\"/></cellXfs>";

template <typename T> XlsxReader::Limits limitedTo(T XlsxReader::Limits::*limit, int value)
{
    XlsxReader::Limits limits;
    limits.*limit = T(value);
    return limits;
}

// --- .xls record streams ---

// A workbook stream built record by record.
class Biff
{
public:
    Biff &record(quint16 type, const QByteArray &payload)
    {
        m_bytes += u16(type) + u16(quint16(payload.size())) + payload;
        return *this;
    }
    Biff &bof(quint16 substream, quint16 version = 0x0600)
    {
        return record(0x0809, u16(version) + u16(substream) + QByteArray(12, '\0'));
    }
    Biff &eof() { return record(0x000A, {}); }
    // The globals: styles 0 General, 1 a time, 2 a date, 3 "+0" (format number 50, as Gnumeric numbers
    // its own, spelt as LibreOffice does), 4 built-in "0.00"; then one worksheet right after.
    Biff &globals(const QByteArray &more = {}, quint16 version = 0x0600)
    {
        bof(0x0005, version);
        m_bytes += more;
        record(0x041E, u16(164) + string16("hh:mm:ss", version));
        record(0x00E0, u16(0) + u16(0) + QByteArray(16, '\0'));
        record(0x00E0, u16(0) + u16(164) + QByteArray(16, '\0'));
        record(0x00E0, u16(0) + u16(14) + QByteArray(16, '\0'));
        record(0x041E, u16(50) + string16("\\+0", version));
        record(0x00E0, u16(0) + u16(50) + QByteArray(16, '\0'));
        record(0x00E0, u16(0) + u16(2) + QByteArray(16, '\0'));
        m_sheetPosition = m_bytes.size() + 4;
        record(0x0085, u32(0) + QByteArray(2, '\0') + QByteArray("\x05\x00Sheet", 7));
        return eof();
    }
    // Starts the worksheet that globals() pointed at.
    Biff &sheet(quint16 version = 0x0600)
    {
        qToLittleEndian<quint32>(quint32(m_bytes.size()), m_bytes.data() + m_sheetPosition);
        return bof(0x0010, version);
    }
    Biff &cell(quint16 type, quint16 row, quint16 column, quint16 xf, const QByteArray &rest)
    {
        return record(type, u16(row) + u16(column) + u16(xf) + rest);
    }
    QByteArray bytes() const { return m_bytes; }

    static QByteArray u16(quint16 value) { return bytesOf(value); }
    static QByteArray u32(quint32 value) { return bytesOf(value); }
    static QByteArray f64(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bytesOf(bits);
    }
    static QByteArray string16(const char *latin, quint16 version = 0x0600)
    {
        const QByteArray text(latin);
        return u16(quint16(text.size())) + (version == 0x0600 ? QByteArray(1, '\0') : QByteArray()) + text;
    }

private:
    template <typename T> static QByteArray bytesOf(T value)
    {
        QByteArray out(sizeof(T), '\0');
        qToLittleEndian(value, out.data());
        return out;
    }
    QByteArray m_bytes;
    qsizetype m_sheetPosition = 0;
};

// A compound document holding one stream.
QByteArray compoundDocument(const char *streamName, const QByteArray &stream)
{
    GsfOutput *memory = gsf_output_memory_new();
    GsfOutfile *document = gsf_outfile_msole_new(memory);
    GsfOutput *child = gsf_outfile_new_child(document, streamName, FALSE);
    gsf_output_write(child, size_t(stream.size()), reinterpret_cast<const guint8 *>(stream.constData()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(document));
    g_object_unref(document);
    const QByteArray bytes(
        reinterpret_cast<const char *>(gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory))),
        qsizetype(gsf_output_size(memory)));
    g_object_unref(memory);
    return bytes;
}

QString timeText(const SheetCell &cell)
{
    return NumberFormat::formatTime(SheetDates::timeOfSerial(cell.number), u"hh:nn:ss");
}

// --- record sheets ---

SheetCell timeOfDay(int h, int m, int s)
{
    return number((h * 3600 + m * 60 + s) / 86400.0, Kind::Time);
}

const QDate RecordDay(2024, 3, 5);

// A record sheet as the export lays it out: summary rows 1 to 5, header row 7, samples from
// row 8. Channel k's columns start at 3k + 3.
class RecordSheet
{
public:
    RecordSheet()
    {
        const char *titles[] = {"Title", "Type", "AVG", "MAX", "MIN"};
        for (int row = 1; row <= 5; ++row)
            put(row, 1, text(QLatin1String(titles[row - 1])));
        put(7, 1, text(QStringLiteral("Index")));
        put(7, 2, text(QStringLiteral("Date")));
        for (int k = 0; k < 6; ++k) {
            put(7, column(k), text(QStringLiteral("Time")));
            put(7, column(k) + 1, text(QStringLiteral("Ch%1").arg(k + 1)));
            put(7, column(k) + 2, text(QStringLiteral("Unit")));
        }
    }
    static int column(int channel) { return 3 * channel + 3; }
    void put(int row, int column, const SheetCell &cell) { cells.set(row, column, cell); }

    void summary(int k, const QString &function, double average, const QString &unit,
                 const SheetCell &maxTime, const SheetCell &maximum, const SheetCell &minTime,
                 const SheetCell &minimum)
    {
        const int c = column(k);
        put(2, c, text(function));
        put(3, c + 1, number(average));
        put(3, c + 2, text(unit));
        put(4, c, maxTime);
        put(4, c + 1, maximum);
        put(4, c + 2, text(unit));
        put(5, c, minTime);
        put(5, c + 1, minimum);
        put(5, c + 2, text(unit));
    }
    // Sample row i (1-based) of the record: index and date.
    void row(int i)
    {
        put(7 + i, 1, number(i));
        put(7 + i, 2, number(SheetDates::serialOfDateTime(QDateTime(RecordDay, QTime())), Kind::Date));
    }
    void sample(int i, int k, const SheetCell &time, const SheetCell &value, const QString &unit)
    {
        put(7 + i, column(k), time);
        put(7 + i, column(k) + 1, value);
        put(7 + i, column(k) + 2, text(unit));
    }

    SheetCells cells;
};

// Hands out prepared cells.
struct FakeReader : SheetReader {
    bool read(const QString &, SheetCells *cells, QString *) override
    {
        *cells = sheet;
        return true;
    }
    SheetCells sheet;
};

RecordSheet recordOfRows(int rows)
{
    RecordSheet sheet;
    sheet.summary(0, QStringLiteral("DCV"), 1, QStringLiteral("V"), timeOfDay(0, 0, 1), number(1),
                  timeOfDay(0, 0, 1), number(1));
    for (int i = 1; i <= rows; ++i) {
        sheet.row(i);
        sheet.sample(i, 0, timeOfDay(i / 3600 % 24, i / 60 % 60, i % 60), number(1), QStringLiteral("V"));
    }
    return sheet;
}

} // namespace

class TestWorkbookReaders : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_folder.isValid()); }

    // Each cell of row 2 as rendered(); none for an empty one.
    void readsCellsAsSpreadsheetProgramsWriteThem_data()
    {
        QTest::addColumn<QByteArray>("cellXml");
        QTest::addColumn<bool>("in1904");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *xml, const char *expected, bool in1904 = false) {
            QTest::newRow(name) << QByteArray(xml) << in1904 << QString::fromUtf8(expected);
        };
        row("shared string", "<c r=\"B2\" t=\"s\"><v>0</v></c>", "'plain");
        row("rich text runs, phonetic guide left out", "<c r=\"B2\" t=\"s\"><v>1</v></c>",
            "'Main Display(Ch0)");
        row("escaped control character", "<c r=\"B2\" t=\"s\"><v>2</v></c>", "'a\rb");
        row("inline string", "<c r=\"B2\" t=\"inlineStr\"><is><t>+OL</t></is></c>", "'+OL");
        row("inline rich text",
            "<c r=\"B2\" t=\"inlineStr\"><is><r><rPr><b/></rPr><t>Ch</t></r><r><t xml:space=\"preserve\"> "
            "1</t></r></is></c>",
            "'Ch 1");
        row("number", "<c r=\"B2\"><v>-12.5</v></c>", "-12.5");
        row("number in exponent form", "<c r=\"B2\" t=\"n\"><v>1.5E-3</v></c>", "0.0015");
        row("custom format 0.00: a number shown with two places", "<c r=\"B2\" s=\"4\"><v>3</v></c>", "3#2");
        row("built-in format 0.00", "<c r=\"B2\" s=\"7\"><v>1.2</v></c>", "1.2#2");
        row("a zero shown with its sign", "<c r=\"B2\" s=\"6\"><v>0</v></c>", "0#0-");
        row("boolean", "<c r=\"B2\" t=\"b\"><v>1</v></c>", "?1");
        row("error", "<c r=\"B2\" t=\"e\"><v>#N/A</v></c>", "!#N/A");
        row("formula's cached number", "<c r=\"B2\"><f>A1*2</f><v>4</v></c>", "4");
        row("formula's cached text", "<c r=\"B2\" t=\"str\"><f>A1&amp;\"V\"</f><v>mV</v></c>", "'mV");
        row("custom time format", "<c r=\"B2\" s=\"1\"><v>0.58853009259259</v></c>", "0.588530092593/time");
        row("elapsed time format", "<c r=\"B2\" s=\"5\"><v>1.25</v></c>", "1.25/time");
        row("built-in date format", "<c r=\"B2\" s=\"2\"><v>45356</v></c>", "45356/date");
        row("built-in date and time format", "<c r=\"B2\" s=\"3\"><v>45356.5</v></c>", "45356.5/datetime");
        row("1904 date moves to the 1900 system", "<c r=\"B2\" s=\"2\"><v>43894</v></c>", "45356/date", true);
        row("1904 time is the same number", "<c r=\"B2\" s=\"1\"><v>0.5</v></c>", "0.5/time", true);
        row("1904 plain number unchanged", "<c r=\"B2\"><v>7</v></c>", "7", true);
        row("ISO date cell", "<c r=\"B2\" t=\"d\"><v>2024-03-05T14:07:09</v></c>", "45356.5882986/datetime",
            true);
        row("formula never calculated is empty", "<c r=\"B2\"><f>A1</f></c>", "");
        row("formatted blank is empty", "<c r=\"B2\" s=\"1\"/>", "");
    }
    void readsCellsAsSpreadsheetProgramsWriteThem()
    {
        QFETCH(QByteArray, cellXml);
        QFETCH(bool, in1904);
        QFETCH(QString, expected);
        const QByteArray strings = "<si><t>plain</t></si>"
                                   "<si><r><t>Main Display</t></r><r><rPr><b/></rPr><t>(Ch0)</t></r>"
                                   "<rPh sb=\"0\" eb=\"1\"><t>MEIN</t></rPh></si>"
                                   "<si><t>a_x000D_b</t></si>";
        const QString file = path(QStringLiteral("cells.xlsx"));
        writeZip(file, workbookParts("<row r=\"2\">" + cellXml + "</row>", strings, TimeAndDateStyles,
                                     in1904 ? "<workbookPr date1904=\"1\"/>" : ""));
        SheetCells cells;
        QString error;
        QVERIFY2(XlsxReader().read(file, &cells, &error), qPrintable(error));
        QVERIFY(error.isEmpty());
        QCOMPARE(rendered(cells), expected.isEmpty() ? QString() : QStringLiteral("R2C2=") + expected);
    }
    void cellsWithoutReferencesFollowThePreviousOne()
    {
        // No dimension element, rows and cells without their references, as some writers save.
        const QString file = path(QStringLiteral("norefs.xlsx"));
        writeZip(file, workbookParts("<row><c><v>1</v></c><c><v>2</v></c></row>"
                                     "<row r=\"5\"><c r=\"C5\"><v>3</v></c><c><v>4</v></c></row>"
                                     "<row><c t=\"inlineStr\"><is><t>x</t></is></c></row>"));
        SheetCells cells;
        QString error;
        QVERIFY2(XlsxReader().read(file, &cells, &error), qPrintable(error));
        QCOMPARE(rendered(cells), QStringLiteral("R1C1=1 R1C2=2 R5C3=3 R5C4=4 R6C1='x"));
    }
    void firstWorksheetIsFoundThroughRelationships_data()
    {
        QTest::addColumn<QList<Part>>("parts");
        const QByteArray decoy = sheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
        const QByteArray wanted = sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>");
        const QByteArray strings = "<sst><si><t>wanted</t></si></sst>";
        // A chart sheet first, the worksheet under another name, absolute and relative targets.
        QTest::newRow("chart sheet first, absolute targets") << QList<Part>{
            {"_rels/.rels", relationships({{"rId1", "officeDocument", "/book/main.xml"}})},
            {"book/main.xml", workbookXml("<sheet name=\"Chart1\" sheetId=\"2\" r:id=\"rId7\"/>"
                                          "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rId3\"/>"
                                          "<sheet name=\"Sheet1\" sheetId=\"3\" r:id=\"rId1\"/>")},
            {"book/_rels/main.xml.rels", relationships({{"rId1", "worksheet", "/book/worksheets/sheet1.xml"},
                                                        {"rId3", "worksheet", "/book/worksheets/data.xml"},
                                                        {"rId7", "chartsheet", "chartsheets/sheet1.xml"},
                                                        {"rId9", "sharedStrings", "../shared/text.xml"}})},
            {"book/worksheets/sheet1.xml", decoy},
            {"book/worksheets/data.xml", wanted},
            {"shared/text.xml", strings},
        };
        QTest::newRow("strict schema") << QList<Part>{
            {"_rels/.rels", relationships({{"rId1", "officeDocument", "xl/workbook.xml"}},
                                          "http://purl.oclc.org/ooxml/officeDocument/relationships")},
            {"xl/workbook.xml",
             workbookXml("<sheet name=\"S\" sheetId=\"1\" r:id=\"rId2\"/>")
                 .replace(RelationshipsNs, "http://purl.oclc.org/ooxml/officeDocument/relationships")},
            {"xl/_rels/workbook.xml.rels",
             relationships(
                 {{"rId2", "worksheet", "worksheets/Sheet%20A.xml"}, {"rId3", "sharedStrings", "s.xml"}},
                 "http://purl.oclc.org/ooxml/officeDocument/relationships")},
            {"xl/worksheets/sheet1.xml", decoy},
            {"xl/worksheets/Sheet A.xml", wanted},
            {"xl/s.xml", strings},
        };
    }
    void firstWorksheetIsFoundThroughRelationships()
    {
        QFETCH(QList<Part>, parts);
        const QString file = path(QStringLiteral("relationships.xlsx"));
        writeZip(file, parts);
        SheetCells cells;
        QString error;
        QVERIFY2(XlsxReader().read(file, &cells, &error), qPrintable(error));
        QCOMPARE(cells.at(1, 1).text, QStringLiteral("wanted"));
    }
    void damagedAndHostileFilesFailWithTheirReason_data()
    {
        QTest::addColumn<QList<Part>>("parts"); // one part without a name: the file's bytes
        QTest::addColumn<XlsxReader::Limits>("limits");
        QTest::addColumn<QString>("reason"); // ending in a blank where the XML reader's words follow
        const auto bad = [](const QByteArray &name, const QList<Part> &parts, const QString &reason,
                            const XlsxReader::Limits &limits = {}) {
            QTest::newRow(name.constData()) << parts << limits << reason;
        };
        const auto sheetWith = [](const QByteArray &rows, const QByteArray &strings = {}) {
            return workbookParts(rows, strings);
        };
        const QString inSheet = QStringLiteral("its part xl/worksheets/sheet1.xml is damaged (%1)");
        const QString tooLarge = QStringLiteral("it is too large to be a record (%1)");
        for (const char *reference :
             {"XFE1", "A1048577", "A0", "A99999999999999999999", "AAAAAAAAAAAAAAAAAAAAA1", "1A"})
            bad(QByteArray("reference ") + reference,
                sheetWith(QByteArray("<row><c r=\"") + reference + "\"><v>1</v></c></row>"),
                inSheet.arg(QStringLiteral("cell reference \"%1\" lies outside the sheet").arg(reference)));
        bad("row number past the sheet", sheetWith("<row r=\"1048577\"><c><v>1</v></c></row>"),
            inSheet.arg("row number \"1048577\" lies outside the sheet"));
        bad("shared string that is not there",
            sheetWith("<row><c t=\"s\"><v>5</v></c></row>", "<si><t>only</t></si>"),
            inSheet.arg("cell R1C1 holds \"5\" where one of the 1 shared strings belongs"));
        bad("text where a number belongs", sheetWith("<row><c r=\"B3\"><v>12,5</v></c></row>"),
            inSheet.arg("cell B3 holds \"12,5\" where a number belongs"));
        bad("more cells than allowed", sheetWith("<row><c><v>1</v></c><c><v>2</v></c><c><v>3</v></c></row>"),
            tooLarge.arg("more than 2 cells"), limitedTo(&XlsxReader::Limits::maxCells, 2));
        bad("more shared strings than allowed",
            sheetWith("", "<si><t>a</t></si><si><t>b</t></si><si><t>c</t></si>"),
            tooLarge.arg("more than 2 shared strings"), limitedTo(&XlsxReader::Limits::maxSharedStrings, 2));

        // A part that truly unpacks to more than allowed, and parts that claim sizes they do not have.
        const QByteArray zeros(2 * 1024 * 1024, '0');
        const QByteArray bigCell = "<row><c t=\"inlineStr\"><is><t>" + zeros + "</t></is></c></row>";
        bad("part unpacks past the limit", sheetWith(bigCell),
            tooLarge.arg("its part xl/worksheets/sheet1.xml unpacks to more than 1 MB"),
            limitedTo(&XlsxReader::Limits::maxPartBytes, 1024 * 1024));
        QByteArray noise(1536 * 1024, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        bad("file past the limit", {{"noise.bin", noise}}, tooLarge.arg("more than 1 MB"),
            limitedTo(&XlsxReader::Limits::maxFileBytes, 1024 * 1024));
        bad("more parts than allowed", sheetWith(""), tooLarge.arg("more than 3 parts"),
            limitedTo(&XlsxReader::Limits::maxEntries, 3));
        QList<Part> hugeClaim = sheetWith("<row><c><v>1</v></c></row>");
        hugeClaim[2].claimedSize = Q_INT64_C(5) << 32;
        bad("part claims 20 GB", hugeClaim,
            tooLarge.arg("its part xl/worksheets/sheet1.xml unpacks to more than 64 MB"));
        QList<Part> smallClaim = sheetWith(bigCell);
        smallClaim[2].claimedSize = 100;
        bad("part holds more than it claims", smallClaim, inSheet.arg("it cannot be unpacked"));
        QList<Part> badChecksum = sheetWith("<row><c><v>1</v></c></row>");
        badChecksum[2].claimedSize = badChecksum[2].data.size();
        badChecksum[2].claimedCrc = 12345;
        bad("checksum mismatch", badChecksum, inSheet.arg("it cannot be unpacked"));

        // Elements nested past any workbook's depth, in any part, fail before an XML reader sees them.
        const QByteArray deep = QByteArray("<x>").repeated(100'000);
        const QString tooDeep = QStringLiteral("its part %1 is damaged (elements nested more than 256 deep)");
        bad("deeply nested worksheet", sheetWith("<row>" + deep + "</row>"),
            tooDeep.arg("xl/worksheets/sheet1.xml"));
        bad("deeply nested shared strings", sheetWith("", "<si>" + deep + "</si>"),
            tooDeep.arg("xl/sharedStrings.xml"));
        bad("deeply nested styles", workbookParts("", {}, "<cellXfs>" + deep + "</cellXfs>"),
            tooDeep.arg("xl/styles.xml"));
        QList<Part> deepRelationships = sheetWith("");
        deepRelationships[0].data = "<Relationships>" + deep;
        bad("deeply nested relationships", deepRelationships, tooDeep.arg("_rels/.rels"));
        bad("256 levels reach the XML reader",
            sheetWith("<row>" + QByteArray("<x>").repeated(252) + "</row>"),
            inSheet.arg("line 1: ").chopped(1));
        // Malformed XML: the part and the line.
        bad("unclosed element", sheetWith("<row><c><v>1</v></row>"), inSheet.arg("line 1: ").chopped(1));
        QList<Part> entityBomb = sheetWith("<row><c t=\"inlineStr\"><is><t>&b;</t></is></c></row>");
        entityBomb[2].data.replace("<?xml version=\"1.0\"?>",
                                   "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaa\">"
                                   "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>");
        bad("document type declaration", entityBomb,
            inSheet.arg("line 1: a document type declaration is not allowed here"));
        QList<Part> badWorkbook = sheetWith("");
        badWorkbook[1].data.chop(5);
        bad("truncated workbook part", badWorkbook,
            QStringLiteral("its part xl/workbook.xml is damaged (line 1: "));
        bad("wrong entries", {{"readme.txt", "hello"}}, QStringLiteral("it holds no workbook"));
        QList<Part> noSheet = sheetWith("");
        noSheet.removeAt(2);
        bad("worksheet part missing", noSheet,
            QStringLiteral("its worksheet xl/worksheets/sheet1.xml is missing"));
        QList<Part> chartsOnly = sheetWith("");
        chartsOnly.last().data = relationships({{"rId1", "chartsheet", "chartsheets/sheet1.xml"}});
        bad("no worksheet at all", chartsOnly, QStringLiteral("it holds no worksheet"));
        bad("not a zip", {{"", "Index;Date;Time\n0001;05/03/2024;14:07:09\n"}},
            QStringLiteral("it is not an .xlsx workbook"));
        bad("legacy workbook", {{"", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + QByteArray(504, '\0')}},
            QStringLiteral("it is an Excel 97-2003 workbook (.xls), not an .xlsx workbook"));
    }
    void damagedAndHostileFilesFailWithTheirReason()
    {
        QFETCH(QList<Part>, parts);
        QFETCH(XlsxReader::Limits, limits);
        QFETCH(QString, reason);
        const QString file = path(QStringLiteral("bad.xlsx"));
        if (parts.size() == 1 && parts[0].name.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(parts[0].data) > 0);
        } else {
            writeZip(file, parts);
        }
        SheetCells cells;
        cells.set(1, 1, number(1)); // whatever the caller had is gone
        QString error;
        QVERIFY(!XlsxReader(limits).read(file, &cells, &error));
        const QString expected = QStringLiteral("Cannot open \"bad.xlsx\": ") + reason;
        if (reason.endsWith(u' ')) // the XML reader's own words follow
            QVERIFY2(error.startsWith(expected), qPrintable(error));
        else
            QCOMPARE(error, expected + u'.');
        QVERIFY(cells.isEmpty() && cells.rowCount() == 0);
    }
    // What a format code says a number is, and the places and sign a plain decimal one shows.
    void numberFormatCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("places");
        QTest::addColumn<QString>("sign");
        const auto row = [](const char *code, Kind kind, int places = -1, const char *sign = "") {
            QTest::newRow(code) << QString::fromUtf8(code) << kind << places << QString::fromLatin1(sign);
        };
        row("0", Kind::General, 0);
        row("0.00", Kind::General, 2);
        row("0.000", Kind::General, 3);
        row("\"+\"0", Kind::General, 0, "+");
        row("\"-\"0.0", Kind::General, 1, "-");
        row("\\+0", Kind::General, 0, "+"); // as LibreOffice writes a literal sign
        row("+0", Kind::General, 0, "+");
        for (const char *code : {"General", "\"V\"0", "#0.00", "0.00E+00", "@", "_(* #,##0_)",
                                 "0.0\" h d s\"", "0.0\\h", "[Red][<=100]0.0;[Blue]0.0"})
            row(code, Kind::General);
        for (const char *code : {"hh:mm:ss", "HH:MM:SS", "h:mm AM/PM", "mm:ss", "[mm]:ss", "[h]:mm:ss",
                                 "mm:ss.0", "[$-409]h:mm:ss;@"})
            row(code, Kind::Time);
        for (const char *code : {"m/d/yyyy", "YYYY/MM/DD", "mmm yy", "d-mmm"})
            row(code, Kind::Date);
        row("yyyy-mm-dd hh:mm", Kind::DateTime);
        row("yyyy\\-mm\\-dd\\ hh:mm", Kind::DateTime);
        row("0.0;hh:mm", Kind::General); // the first section decides
    }
    void numberFormatCodes()
    {
        QFETCH(QString, code);
        QFETCH(Kind, kind);
        QFETCH(int, places);
        QFETCH(QString, sign);
        QCOMPARE(SheetDates::numberFormatOfCode(code), kind);
        QChar shownSign;
        QCOMPARE(SheetValues::placesOfNumberFormat(code, &shownSign), places);
        QCOMPARE(QString(shownSign.isNull() ? QString() : QString(shownSign)), sign);
        if (places >= 0 && (shownSign.isNull() || code.startsWith(u'"')))
            QCOMPARE(SheetValues::decimalsNumberFormat(places, shownSign), code);
        // the built-in numbers files use without the code
        const QList<QPair<int, Kind>> builtIn{{0, Kind::General},  {2, Kind::General},   {14, Kind::Date},
                                              {21, Kind::Time},    {22, Kind::DateTime}, {46, Kind::Time},
                                              {164, Kind::General}};
        for (const auto &[id, builtInKind] : builtIn)
            QCOMPARE(SheetDates::numberFormatOfBuiltIn(id), builtInKind);
    }
    void serialDates_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QDateTime>("moment"); // invalid: no moment
        const auto utc = [](QDate date, QTime time) { return QDateTime(date, time, Qt::UTC); };
        QTest::newRow("time alone") << 0.5 << utc(QDate(1899, 12, 30), QTime(12, 0));
        QTest::newRow("08:00 rounds to the millisecond") << 1 / 3.0 << utc(QDate(1899, 12, 30), QTime(8, 0));
        QTest::newRow("08:00 stored a hair low") << 45356.333333333328 << utc(QDate(2024, 3, 5), QTime(8, 0));
        QTest::newRow("milliseconds") << 45356.0 + 1.5 / 86400 << utc(QDate(2024, 3, 5), QTime(0, 0, 1, 500));
        QTest::newRow("day 1") << 1.0 << utc(QDate(1900, 1, 1), QTime(0, 0));
        QTest::newRow("day 59 at noon") << 59.5 << utc(QDate(1900, 2, 28), QTime(12, 0));
        QTest::newRow("phantom 29 February") << 60.25 << QDateTime();
        QTest::newRow("day 61") << 61.0 << utc(QDate(1900, 3, 1), QTime(0, 0));
        QTest::newRow("a record") << 45356.588298611 << utc(QDate(2024, 3, 5), QTime(14, 7, 9));
        QTest::newRow("last instant rounds into the next day")
            << 45356.9999999999 << utc(QDate(2024, 3, 6), QTime(0, 0));
        QTest::newRow("last day") << 2958465.5 << utc(QDate(9999, 12, 31), QTime(12, 0));
        QTest::newRow("past the last day") << 2958466.0 << QDateTime();
        QTest::newRow("negative") << -1.0 << QDateTime();
        QTest::newRow("not a number") << qQNaN() << QDateTime();
    }
    void serialDates()
    {
        QFETCH(double, serial);
        QFETCH(QDateTime, moment);
        QCOMPARE(SheetDates::dateTimeOfSerial(serial), moment);
        if (!moment.isValid()) return;
        QCOMPARE(SheetDates::timeOfSerial(serial), moment.time());
        if (serial >= 1) // and back
            QCOMPARE(SheetDates::dateTimeOfSerial(SheetDates::serialOfDateTime(moment)), moment);
        // before day 1 there is no serial day; only dates move between the date systems
        QVERIFY(std::isnan(SheetDates::serialOfDateTime(QDateTime(QDate(1899, 12, 31), QTime(0, 0)))));
        QCOMPARE(SheetDates::toSystem1900(43830.5, Kind::Date), 45292.5);
        QCOMPARE(SheetDates::toSystem1900(43830.5, Kind::DateTime), 45292.5);
        QCOMPARE(SheetDates::toSystem1900(0.25, Kind::Time), 0.25);
        QCOMPARE(SheetDates::toSystem1900(12.5, Kind::General), 12.5);
    }
    void sheetCellsKeepEveryCellWhateverTheLayout()
    {
        // A record's layout, written bottom up: kept row by row.
        SheetCells cells;
        for (int row = 200; row >= 1; --row)
            for (int column = 1; column <= 20; ++column)
                cells.set(row, column, number(row * 100 + column));
        cells.set(3, 4, text(QStringLiteral("over")));
        QVERIFY(cells.isKeptByRow());
        QCOMPARE(cells.rowCount(), 200);
        QCOMPARE(cells.columnCount(), 20);

        // A lone cell far out would make a million rows of empty places: kept by address from then on.
        cells.set(XlsxParts::MaxRow, XlsxParts::MaxColumn, number(-1));
        QVERIFY(!cells.isKeptByRow());
        cells.set(201, 1, number(20101));
        for (const SheetCells &sheet : {cells, SheetCells(cells)}) {
            QCOMPARE(sheet.at(200, 20).number, 20020.0);
            QCOMPARE(sheet.at(3, 4).text, QStringLiteral("over"));
            QCOMPARE(sheet.at(201, 1).number, 20101.0);
            QCOMPARE(sheet.at(XlsxParts::MaxRow, XlsxParts::MaxColumn).number, -1.0);
            QCOMPARE(sheet.at(202, 1).type, Type::Empty);
            QCOMPARE(sheet.at(0, 0).type, Type::Empty);
            QCOMPARE(sheet.rowCount(), XlsxParts::MaxRow);
            QCOMPARE(sheet.columnCount(), XlsxParts::MaxColumn);
        }

        // Rows that hold a cell, a record's rows and the lone one far out.
        const std::vector<int> filled = cells.filledRows(200);
        QCOMPARE(filled, (std::vector<int>{200, 201, XlsxParts::MaxRow}));

        // Small sheets stay row by row even where they are sparse.
        SheetCells small;
        small.set(100, 26, text(QStringLiteral("Z100")));
        QVERIFY(small.isKeptByRow());
        QCOMPARE(rendered(small), QStringLiteral("R100C26='Z100"));
        QCOMPARE(small.filledRows(8), std::vector<int>{100});
    }
    void detectsFormatByFirstBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<WorkbookFormat::Kind>("kind");
        QTest::newRow("zip") << QByteArray("PK\x03\x04\x14\x00", 6) << WorkbookFormat::Kind::Xlsx;
        QTest::newRow("compound document")
            << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00", 9) << WorkbookFormat::Kind::Xls;
        QTest::newRow("signature cut short")
            << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A", 7) << WorkbookFormat::Kind::Unknown;
        QTest::newRow("empty zip") << QByteArray("PK\x05\x06", 4) << WorkbookFormat::Kind::Unknown;
        QTest::newRow("empty") << QByteArray() << WorkbookFormat::Kind::Unknown;
    }
    void detectsFormatByFirstBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(WorkbookFormat::Kind, kind);
        QCOMPARE(WorkbookFormat::detect(bytes), kind);
        QCOMPARE(WorkbookFormat::detectFile(QStringLiteral("/nonexistent/r.xls")),
                 WorkbookFormat::Kind::Unknown);
    }
    void fixtureHoldsExactlyTheWrittenCells_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("record, 1900 system") << QStringLiteral("record-1900");
        QTest::newRow("record, 1904 system") << QStringLiteral("record-1904");
        QTest::newRow("cell kinds") << QStringLiteral("cell-kinds");
    }
    // Every cell the generator listed reads back as listed, and no other cell is there.
    void fixtureHoldsExactlyTheWrittenCells()
    {
        QFETCH(QString, name);
        QFile list(QFINDTESTDATA(QStringLiteral("data/xls/%1.cells").arg(name)));
        QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
        SheetCells cells;
        QString error;
        QVERIFY2(XlsReader().read(QFINDTESTDATA(QStringLiteral("data/xls/%1.xls").arg(name)), &cells, &error),
                 qPrintable(error));
        // the listed kind as rendered() marks it; a time of day is compared as the table shows it
        const QHash<QString, QString> marks{{"text", "'"},
                                            {"error", "!"},
                                            {"boolean", "?"},
                                            {"date", "/date"},
                                            {"datetime", "/datetime"},
                                            {"duration", "/time"},
                                            {"time", "/time"},
                                            {"number", ""}};
        QStringList expected, read;
        while (!list.atEnd()) {
            const QStringList f = QString::fromUtf8(list.readLine()).chopped(1).split(QLatin1Char('\t'));
            QCOMPARE(f.size(), 4);
            SheetCell cell = cells.at(f[0].toInt(), f[1].toInt());
            cell.decimals = -1; // the places the format shows are the import's concern
            cell.sign = 0;
            const QString mark = marks.value(f[2]);
            const QString where = f[0] + u',' + f[1] + u'=';
            if (mark.isEmpty() || mark.startsWith(u'/'))
                expected << where + (f[2] == u"time" ? f[3] : QString::number(f[3].toDouble(), 'g', 12)) +
                                mark;
            else
                expected << where + mark + f[3];
            read << where + (f[2] == u"time" && cell.format == Kind::Time ? timeText(cell) + mark
                                                                          : rendered(cell));
        }
        QCOMPARE(read, expected);
        QCOMPARE(rendered(cells).count(u'='), expected.size()); // and nothing else
    }
    // Hand-built streams for what the converted files do not show: each as the cells it reads as.
    void decodesRecords_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("cells");
        // "Abc" whole; "xyz" + "ΩΩ" split with a switch to 16-bit characters; then a string with
        // a rich run and phonetic data whose bytes run on into a third record.
        const QByteArray first = Biff::u32(3) + Biff::u32(3) + Biff::string16("Abc") + Biff::u16(5) +
                                 QByteArray(1, '\0') + QByteArray("xyz");
        const QByteArray second = QByteArray(1, '\x01') + QByteArray("\xA9\x03\xA9\x03", 4) + Biff::u16(2) +
                                  QByteArray(1, '\x0C') + Biff::u16(1) + Biff::u32(3) + QByteArray("ok") +
                                  QByteArray(2, 'r');
        const QByteArray third = QByteArray(2, 'r') + QByteArray(3, 'p');
        Biff strings;
        strings.globals(Biff().record(0x00FC, first).record(0x003C, second).record(0x003C, third).bytes())
            .sheet();
        for (quint32 i = 0; i < 3; ++i)
            strings.cell(0x00FD, 0, quint16(i), 0, Biff::u32(i));
        strings.cell(0x0204, 1, 0, 0,
                     Biff::u16(2) + QByteArray(1, '\x01') + QByteArray("\x26\x04\x3E\x04", 4));
        QTest::newRow("shared strings across continue records")
            << strings.eof().bytes() << QStringLiteral("R1C1='Abc R1C2='xyzΩΩ R1C3='ok R2C1='Цо");
        Biff numbers;
        numbers.globals().sheet();
        numbers.cell(0x027E, 0, 0, 0, Biff::u32((quint32(-7) << 2) | 0x02)); // integer
        numbers.cell(0x027E, 0, 1, 0, Biff::u32((1234u << 2) | 0x03));       // integer / 100
        numbers.cell(0x027E, 0, 2, 0, Biff::u32(0x3FF80000u));               // 1.5 by its high bits
        numbers.cell(0x027E, 0, 3, 0, Biff::u32(0x40590000u | 0x01));        // 100 / 100
        numbers.cell(0x0203, 1, 0, 1, Biff::f64(0.5));                       // a time
        numbers.cell(0x0203, 1, 1, 2, Biff::f64(45356));                     // a date
        numbers.cell(0x0203, 1, 2, 9, Biff::f64(3));                         // an unknown style
        numbers.cell(0x0203, 1, 3, 3, Biff::f64(0)).cell(0x0203, 1, 4, 4, Biff::f64(2.35));
        numbers.record(0x00BD, Biff::u16(2) + Biff::u16(4) + Biff::u16(1) + Biff::u32((3u << 2) | 0x02) +
                                   Biff::u16(0) + Biff::u32((4u << 2) | 0x02) + Biff::u16(5));
        QTest::newRow("numbers of every encoding")
            << numbers.eof().bytes()
            << QStringLiteral("R1C1=-7 R1C2=12.34 R1C3=1.5 R1C4=1 R2C1=0.5/time R2C2=45356/date R2C3=3 "
                              "R2C4=0#0+ R2C5=2.35#2 R3C5=3/time R3C6=4");
        const auto formula = [](const QByteArray &result) -> QByteArray {
            return result + Biff::u16(0) + Biff::u32(0) + Biff::u16(0);
        };
        const auto special = [](char kind, char value) -> QByteArray {
            return QByteArray(1, kind) + '\0' + QByteArray(1, value) + QByteArray(3, '\0') +
                   QByteArray("\xFF\xFF", 2);
        };
        Biff formulas;
        formulas.globals(Biff().record(0x0022, Biff::u16(1)).bytes()).sheet();
        formulas.cell(0x0006, 0, 0, 2, formula(Biff::f64(43830))); // a date of the 1904 system
        formulas.cell(0x0006, 0, 1, 0, formula(special(0, 0)));
        formulas.record(0x04BC, QByteArray(8, '\0')); // a shared formula may come between
        formulas.record(0x0207, Biff::string16("abcd"));
        formulas.cell(0x0006, 0, 2, 0, formula(special(1, 1)));
        formulas.cell(0x0006, 0, 3, 0, formula(special(2, 0x07)));
        formulas.cell(0x0006, 0, 4, 0, formula(special(3, 0)));
        formulas.cell(0x0006, 0, 5, 0, formula(special(0, 0))); // its STRING never comes
        formulas.cell(0x0205, 1, 0, 0, QByteArray("\x00\x00", 2));
        formulas.cell(0x0205, 1, 1, 0, QByteArray("\x2A\x01", 2));
        formulas.cell(0x0203, 1, 2, 1, Biff::f64(0.25));  // a time: the same in both systems
        formulas.record(0x0207, Biff::string16("stray")); // no formula waits for it
        QTest::newRow("formula results, booleans and errors in the 1904 system")
            << formulas.eof().bytes()
            << QStringLiteral("R1C1=45292/date R1C2='abcd R1C3=?1 R1C4=!#DIV/0! R1C5=' R1C6=' R2C1=?0 "
                              "R2C2=!#N/A R2C3=0.25/time");
        Biff chart;
        chart.globals().sheet().cell(0x0203, 0, 0, 0, Biff::f64(1));
        chart.bof(0x0020).cell(0x0203, 5, 5, 0, Biff::f64(99)).eof();
        chart.cell(0x0203, 0, 1, 0, Biff::f64(2));
        QTest::newRow("embedded chart skipped") << chart.eof().bytes() << QStringLiteral("R1C1=1 R1C2=2");
        Biff afterChartSheet;
        afterChartSheet
            .globals(
                Biff()
                    .record(0x0085, Biff::u32(0) + QByteArray("\x00\x02", 2) + QByteArray("\x01\x00X", 3))
                    .bytes())
            .sheet()
            .cell(0x0203, 0, 0, 0, Biff::f64(7));
        QTest::newRow("first worksheet after a chart sheet")
            << afterChartSheet.eof().bytes() << QStringLiteral("R1C1=7");
        Biff older;
        older.globals({}, 0x0500).sheet(0x0500);
        older.cell(0x0204, 0, 0, 0, Biff::string16("Caf\xE9", 0x0500));
        older.cell(0x0203, 0, 1, 1, Biff::f64(0.75));
        QTest::newRow("older version") << older.eof().bytes() << QStringLiteral("R1C1='Café R1C2=0.75/time");
    }
    void decodesRecords()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, cells);
        SheetCells read;
        QString error;
        // "Book", as older files call it, is looked for after "Workbook"
        QVERIFY2(XlsReader().readBytes(compoundDocument("Book", stream), &read, &error), qPrintable(error));
        QCOMPARE(rendered(read), cells);
    }
    // Damaged files and the workbook streams in them: the reason told, the caller's cells kept.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        const auto file = [](const char *name, const QByteArray &bytes, const char *reason) {
            QTest::newRow(name) << bytes << QStringLiteral("Cannot open the workbook: %1.").arg(reason);
        };
        const auto bad = [&file](const char *name, const QByteArray &stream, const char *reason) {
            file(name, compoundDocument("Workbook", stream), reason);
        };
        const auto inSheet = [](const Biff &records) -> QByteArray {
            return Biff().globals().sheet().bytes() + records.bytes() + Biff().eof().bytes();
        };
        QByteArray cut = inSheet(Biff().cell(0x0203, 0, 0, 0, Biff::f64(1)));
        cut.chop(8);
        bad("cut", cut, "a record runs past the end of the file");
        bad("no end", Biff().globals().sheet().bytes(), "the file ends in the middle of the workbook");
        bad("short number", inSheet(Biff().cell(0x0203, 0, 0, 0, QByteArray(4, '\0'))),
            "a record is shorter than its contents");
        bad("missing shared string", inSheet(Biff().cell(0x00FD, 0, 0, 0, Biff::u32(0))),
            "a text refers to a string that is missing");
        bad("text longer than its record",
            inSheet(Biff().cell(0x0204, 0, 0, 0, Biff::u16(60000) + QByteArray(1, '\0') + "ab")),
            "a record is shorter than its contents");
        bad("half a character",
            inSheet(Biff().cell(0x0204, 0, 0, 0, Biff::u16(1) + QByteArray(1, '\x01') + "a")),
            "a text is cut in the middle of a character");
        bad("column past the sheet", inSheet(Biff().cell(0x0203, 0, 256, 0, Biff::f64(1))),
            "a cell lies outside the sheet");
        bad("row of numbers past the sheet",
            inSheet(
                Biff().record(0x00BD, Biff::u16(0) + Biff::u16(255) + QByteArray(12, '\0') + Biff::u16(256))),
            "a cell lies outside the sheet");
        bad("broken row of numbers", inSheet(Biff().record(0x00BD, QByteArray(7, '\0'))),
            "a row of numbers has a broken length");
        bad("impossible size",
            inSheet(Biff().record(0x0200, Biff::u32(0) + Biff::u32(70000) + Biff::u16(0) + Biff::u16(3) +
                                              Biff::u16(0))),
            "the sheet claims an impossible size");
        bad("no worksheet", Biff().bof(0x0005).eof().bytes(), "the workbook has no worksheet");
        bad("not a workbook", Biff().bof(0x0010).eof().bytes(),
            "a part of the workbook is not what it claims to be");
        bad("unknown version", Biff().bof(0x0005, 0x0400).eof().bytes(),
            "the workbook is of an unsupported version");
        const auto sheetAt = [](quint32 position) {
            QByteArray globals = Biff().globals().bytes();
            qToLittleEndian<quint32>(position,
                                     globals.data() + globals.indexOf(QByteArray("\x85\x00", 2)) + 4);
            return globals;
        };
        bad("worksheet outside", sheetAt(0x7FFFFFFF), "a worksheet lies outside the file");
        bad("worksheet pointing back", sheetAt(0), "a part of the workbook is not what it claims to be");
        bad("empty", QByteArray(), "the file ends in the middle of the workbook");
        file("zip", QByteArray("PK\x03\x04 and more", 13),
             "it is an .xlsx workbook, not an Excel 97-2003 workbook (.xls)");
        file("signature only", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'),
             "its document structure is damaged");
        file("no workbook stream", compoundDocument("Data", QByteArray(5000, 'x')), "it holds no workbook");
        bad("no start", Biff().record(0x0203, QByteArray(5000, 'x')).bytes(),
            "a part of the workbook has no start");
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        SheetCells cells;
        cells.set(1, 1, number(1)); // what the caller had stays as it was
        QString why;
        QVERIFY(!XlsReader().readBytes(file, &cells, &why));
        QCOMPARE(why, error);
        QCOMPARE(rendered(cells), QStringLiteral("R1C1=1"));
    }
    // Only columns A..T are read, the main-channel block tells the channel it was saved with, and a
    // channel that sent nothing still heads its column.
    void readsTheRecordAsExported()
    {
        RecordSheet sheet;
        sheet.summary(0, QStringLiteral("DCV"), 12.5, QStringLiteral("mV"), timeOfDay(14, 7, 10), text("+OL"),
                      timeOfDay(14, 7, 9), number(-3.25));
        sheet.summary(2, QStringLiteral("OHM"), 0.5, QStringLiteral("KΩ"), timeOfDay(8, 0, 0), number(0.7),
                      timeOfDay(8, 0, 2), number(0.3));
        sheet.put(7, 22, text("Main Display(Ch2)"));
        sheet.row(1);
        sheet.sample(1, 0, timeOfDay(14, 7, 9), number(-3.25), QStringLiteral("mV"));
        sheet.sample(1, 2, timeOfDay(8, 0, 0), number(0.7), QStringLiteral("KΩ"));
        sheet.put(8, 21, timeOfDay(14, 7, 9));
        sheet.put(8, 22, number(-0.00325));
        sheet.put(8, 23, text("V"));
        const ImportedRecord record = importRecord(sheet.cells);
        QCOMPARE(record.lastChannel, 5);
        QCOMPARE(record.channelList, QStringList({QStringLiteral("1_Ch1"), QStringLiteral("3_Ch3")}));
        QCOMPARE(record.mainChannel, 0);
        QCOMPARE(record.savedMainChannel, 2);
        QCOMPARE(record.typeText, QStringLiteral("DCV"));
        const ImportedChannel &first = record.channels[0];
        QCOMPARE((QStringList{first.average, first.unit, first.maxTime, first.maximum, first.minTime,
                              first.minimum}),
                 (QStringList{"12.5", "mV", "14:07:10", "+OL", "14:07:09", "-3.25"}));
        QVERIFY(!record.channels[1].present);
        QCOMPARE(record.channels[1].name, QStringLiteral("Ch2"));
        QCOMPARE(int(record.rows.size()), 1);
        QCOMPARE(QStringList(record.rows[0].begin(), record.rows[0].end()).join(u'|'),
                 "0001|" + RecordStore::shortDate(RecordDay) +
                     "|14:07:09|-3.25|mV||||08:00:00|0.7|KΩ|||||||||");
    }
    void cellsBecomeTableTexts_data()
    {
        QTest::addColumn<int>("sheetColumn");
        QTest::addColumn<SheetCell>("cell");
        QTest::addColumn<QString>("shown");
        const int index = 1;
        const int date = 2;
        const int time = 3;
        const int value = 4;
        const int unit = 5;
        QTest::newRow("index number") << index << number(7) << "0007";
        QTest::newRow("index text") << index << text("0012") << "0012";
        QTest::newRow("date") << date << number(45356, Kind::Date) << RecordStore::shortDate(RecordDay);
        QTest::newRow("date kept as text") << date << text("05/03/2024") << "05/03/2024";
        QTest::newRow("date as a plain number") << date << number(45356) << "45356";
        QTest::newRow("time 08:00 not 07:59:59") << time << number(1 / 3.0, Kind::Time) << "08:00:00";
        QTest::newRow("time of a date and time") << time << number(45356.5, Kind::DateTime) << "12:00:00";
        QTest::newRow("time of a plain number") << time << number(0.25) << "06:00:00";
        QTest::newRow("time kept as text") << time << text("8:05:09") << "08:05:09";
        QTest::newRow("time in 12-hour text") << time << text("2:07:09 PM") << "14:07:09";
        QTest::newRow("time text that is none") << time << text("later") << "later";
        QTest::newRow("time past the last day") << time << number(3e6) << "3000000";
        QTest::newRow("value 12") << value << number(12) << "12.0";
        QTest::newRow("value with two places in its format")
            << value << number(1.2, Kind::General, 2) << "1.20";
        QTest::newRow("value with none in its format") << value << number(12, Kind::General, 0) << "12";
        QTest::newRow("zero with its sign in its format")
            << value << number(0, Kind::General, 0, u'-') << "-0";
        QTest::newRow("rounded to the format's places") << value << number(0.125, Kind::General, 2) << "0.13";
        QTest::newRow("value 12.34") << value << number(12.34) << "12.34";
        QTest::newRow("value rounded to five places") << value << number(1.234567) << "1.23457";
        QTest::newRow("value kept as numeric text") << value << text("5") << "5.0";
        QTest::newRow("overload") << value << text("-OL") << "-OL";
        QTest::newRow("empty value") << value << SheetCell() << "";
        QTest::newRow("unit") << unit << text("mV") << "mV";
        QTest::newRow("unit as a number") << unit << number(0.1) << "0.1";
    }
    void cellsBecomeTableTexts()
    {
        QFETCH(int, sheetColumn);
        QFETCH(SheetCell, cell);
        QFETCH(QString, shown);
        RecordSheet sheet;
        sheet.row(1);
        sheet.put(8, sheetColumn, cell);
        const ImportedRecord record = importRecord(sheet.cells);
        QCOMPARE(int(record.rows.size()), 1);
        QCOMPARE(record.rows[0][std::size_t(sheetColumn - 1)], shown);
    }
    void lastChannelFollowsTheUsedColumns_data()
    {
        QTest::addColumn<int>("usedColumns");
        QTest::addColumn<int>("lastChannel");
        QTest::addColumn<int>("listed");
        QTest::newRow("with the main display block") << 23 << 5 << 6;
        QTest::newRow("as exported") << 20 << 5 << 6;
        QTest::newRow("five channels") << 17 << 4 << 5;
        QTest::newRow("one channel") << 5 << 0 << 1;
        QTest::newRow("index and date only") << 2 << -1 << 0;
    }
    void lastChannelFollowsTheUsedColumns()
    {
        QFETCH(int, usedColumns);
        QFETCH(int, lastChannel);
        QFETCH(int, listed);
        SheetCells sheet;
        for (int k = 0; k < 6 && RecordSheet::column(k) + 2 <= usedColumns; ++k)
            sheet.set(2, RecordSheet::column(k), text(QStringLiteral("DCV")));
        sheet.set(7, usedColumns, text(QStringLiteral("Unit")));
        const ImportedRecord record = importRecord(sheet);
        QCOMPARE(record.lastChannel, lastChannel);
        QCOMPARE(record.channelList.size(), listed);
        QCOMPARE(record.mainChannel, listed > 0 ? 0 : -1);
    }
    // A channel with a function but no samples is listed with empty statistics; one whose function
    // is blank after trimming is not listed, and a sheet without any has no main channel.
    void channelsListedByTheirFunction()
    {
        RecordSheet sheet;
        sheet.put(2, RecordSheet::column(1), text(QStringLiteral("   ")));
        ImportedRecord record = importRecord(sheet.cells);
        QVERIFY(record.channelList.isEmpty());
        QCOMPARE(record.mainChannel, -1);
        QCOMPARE(record.typeText, QString());
        QCOMPARE(record.gridRowCount(), 2);
        sheet.put(2, RecordSheet::column(3), text(QStringLiteral("ACA")));
        sheet.row(1);
        sheet.sample(1, 0, timeOfDay(9, 0, 0), number(1), QStringLiteral("V"));
        record = importRecord(sheet.cells);
        QCOMPARE(record.channelList, QStringList{QStringLiteral("4_Ch4")});
        QCOMPARE(record.mainChannel, 3);
        QCOMPARE(record.typeText, QStringLiteral("ACA"));
        const ImportedChannel &channel = record.channels[3];
        QCOMPARE((QStringList{channel.average, channel.unit, channel.maxTime, channel.maximum,
                              channel.maxUnit, channel.minTime, channel.minimum, channel.minUnit}),
                 QStringList(8));
        QCOMPARE(record.rows[0][RecordStore::timeColumn(3)], QString());
    }
    // Opened through the reader: a sheet of more rows than a record holds loads its first 9999 and
    // says so; a stray cell far below counts as one row, not as a million.
    void sampleRows_data()
    {
        QTest::addColumn<int>("sheetRows");
        QTest::addColumn<int>("strayRow"); // a lone cell far below, or 0
        QTest::addColumn<int>("loaded");
        QTest::addColumn<int>("firstVisibleRow");
        QTest::newRow("fits the window") << 5 << 0 << 5 << 1;
        QTest::newRow("one grid row more than seven") << 6 << 0 << 6 << 1;
        QTest::newRow("scrolled to the last seven") << 10 << 0 << 10 << 5;
        QTest::newRow("a full record") << 9999 << 0 << 9999 << 9994;
        QTest::newRow("more than a record holds") << 10000 << 0 << 9999 << 9994;
        QTest::newRow("a stray cell in the last sheet row") << 10 << 1'048'576 << 11 << 6;
    }
    void sampleRows()
    {
        QFETCH(int, sheetRows);
        QFETCH(int, strayRow);
        QFETCH(int, loaded);
        QFETCH(int, firstVisibleRow);
        FakeReader reader;
        reader.sheet = recordOfRows(sheetRows).cells;
        if (strayRow > 0) reader.sheet.set(strayRow, 5, text(QStringLiteral("V")));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("240305_140709.xlsx"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        file.close();
        const WorkbookOpening opening = openWorkbook(path, reader);
        QCOMPARE(opening.outcome, WorkbookOpening::Outcome::Loaded);
        const ImportedRecord &record = opening.record;
        QCOMPARE(int(record.rows.size()), loaded);
        QCOMPARE(record.sheetSampleRows, sheetRows + (strayRow > 0 ? 1 : 0));
        QCOMPARE(opening.message, sheetRows <= loaded
                                      ? QString()
                                      : QStringLiteral("\"240305_140709.xlsx\" holds 10000 sample rows, "
                                                       "more than a record can hold: only the first "
                                                       "9999 were loaded."));
        QCOMPARE(record.rows[std::size_t(qMin(sheetRows, 9999) - 1)][0],
                 QStringLiteral("%1").arg(qMin(sheetRows, 9999), 4, 10, QLatin1Char('0')));
        QCOMPARE(record.firstVisibleRow(), firstVisibleRow);
    }

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(TestWorkbookReaders)
#include "tst_workbookreaders.moc"
