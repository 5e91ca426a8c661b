#include <QtTest>
#include <cmath>
#include <minizip/zip.h>
#include <zlib.h>

#include "core/workbook/SheetDates.h"
#include "core/workbook/SheetValues.h"
#include "core/workbook/XlsxParts.h"
#include "core/workbook/XlsxReader.h"
#include "support/SheetCellMaker.h"

namespace
{

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

} // namespace

class TestXlsxReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readsCellsAsSpreadsheetProgramsWriteThem_data();
    void readsCellsAsSpreadsheetProgramsWriteThem();
    void cellsWithoutReferencesFollowThePreviousOne();
    void firstWorksheetIsFoundThroughRelationships_data();
    void firstWorksheetIsFoundThroughRelationships();
    void damagedAndHostileFilesFailWithTheirReason_data();
    void damagedAndHostileFilesFailWithTheirReason();
    void numberFormatCodes_data();
    void numberFormatCodes();
    void serialDates_data();
    void serialDates();
    void sheetCellsKeepEveryCellWhateverTheLayout();

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QTemporaryDir m_folder;
};

void TestXlsxReader::init()
{
    QVERIFY(m_folder.isValid());
}

// Each cell of row 2 as rendered(); none for an empty one.
void TestXlsxReader::readsCellsAsSpreadsheetProgramsWriteThem_data()
{
    QTest::addColumn<QByteArray>("cellXml");
    QTest::addColumn<bool>("in1904");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *xml, const char *expected, bool in1904 = false) {
        QTest::newRow(name) << QByteArray(xml) << in1904 << QString::fromUtf8(expected);
    };
    row("shared string", "<c r=\"B2\" t=\"s\"><v>0</v></c>", "'plain");
    row("rich text runs, phonetic guide left out", "<c r=\"B2\" t=\"s\"><v>1</v></c>", "'Main Display(Ch0)");
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

void TestXlsxReader::readsCellsAsSpreadsheetProgramsWriteThem()
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

void TestXlsxReader::cellsWithoutReferencesFollowThePreviousOne()
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

void TestXlsxReader::firstWorksheetIsFoundThroughRelationships_data()
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

void TestXlsxReader::firstWorksheetIsFoundThroughRelationships()
{
    QFETCH(QList<Part>, parts);
    const QString file = path(QStringLiteral("relationships.xlsx"));
    writeZip(file, parts);
    SheetCells cells;
    QString error;
    QVERIFY2(XlsxReader().read(file, &cells, &error), qPrintable(error));
    QCOMPARE(cells.at(1, 1).text, QStringLiteral("wanted"));
}

void TestXlsxReader::damagedAndHostileFilesFailWithTheirReason_data()
{
    QTest::addColumn<QList<Part>>("parts");
    QTest::addColumn<QByteArray>("rawBytes"); // instead of the parts when not empty
    QTest::addColumn<XlsxReader::Limits>("limits");
    QTest::addColumn<QString>("reason"); // ending in a blank where the XML reader's words follow
    const auto bad = [](const char *name, const QList<Part> &parts, const QString &reason,
                        const XlsxReader::Limits &limits = {}) {
        QTest::newRow(name) << parts << QByteArray() << limits << reason;
    };
    const auto sheetWith = [](const QByteArray &rows, const QByteArray &strings = {}) {
        return workbookParts(rows, strings);
    };
    const QString inSheet = QStringLiteral("its part xl/worksheets/sheet1.xml is damaged (%1)");
    const QString tooLarge = QStringLiteral("it is too large to be a record (%1)");
    for (const char *reference :
         {"XFE1", "A1048577", "A0", "A99999999999999999999", "AAAAAAAAAAAAAAAAAAAAA1", "1A"})
        QTest::addRow("reference %s", reference)
            << sheetWith(QByteArray("<row><c r=\"") + reference + "\"><v>1</v></c></row>") << QByteArray()
            << XlsxReader::Limits()
            << inSheet.arg(QStringLiteral("cell reference \"%1\" lies outside the sheet").arg(reference));
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
    bad("256 levels reach the XML reader", sheetWith("<row>" + QByteArray("<x>").repeated(252) + "</row>"),
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
    QTest::newRow("not a zip") << QList<Part>() << QByteArray("Index;Date;Time\n0001;05/03/2024;14:07:09\n")
                               << XlsxReader::Limits() << QStringLiteral("it is not an .xlsx workbook");
    QTest::newRow("legacy workbook") << QList<Part>()
                                     << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + QByteArray(504, '\0'))
                                     << XlsxReader::Limits()
                                     << QStringLiteral(
                                            "it is an Excel 97-2003 workbook (.xls), not an .xlsx workbook");
}

void TestXlsxReader::damagedAndHostileFilesFailWithTheirReason()
{
    QFETCH(QList<Part>, parts);
    QFETCH(QByteArray, rawBytes);
    QFETCH(XlsxReader::Limits, limits);
    QFETCH(QString, reason);
    const QString file = path(QStringLiteral("bad.xlsx"));
    if (rawBytes.isEmpty()) {
        writeZip(file, parts);
    } else {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(rawBytes);
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
    QVERIFY(cells.isEmpty());
    QCOMPARE(cells.rowCount(), 0);
}

// What a format code says a number is, and the places and sign a plain decimal one shows.
void TestXlsxReader::numberFormatCodes_data()
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
    for (const char *code : {"General", "\"V\"0", "#0.00", "0.00E+00", "@", "_(* #,##0_)", "0.0\" h d s\"",
                             "0.0\\h", "[Red][<=100]0.0;[Blue]0.0"})
        row(code, Kind::General);
    for (const char *code : {"hh:mm:ss", "HH:MM:SS", "h:mm AM/PM", "mm:ss", "[mm]:ss", "[h]:mm:ss", "mm:ss.0",
                             "[$-409]h:mm:ss;@"})
        row(code, Kind::Time);
    for (const char *code : {"m/d/yyyy", "YYYY/MM/DD", "mmm yy", "d-mmm"})
        row(code, Kind::Date);
    row("yyyy-mm-dd hh:mm", Kind::DateTime);
    row("yyyy\\-mm\\-dd\\ hh:mm", Kind::DateTime);
    row("0.0;hh:mm", Kind::General); // the first section decides
}

void TestXlsxReader::numberFormatCodes()
{
    QFETCH(QString, code);
    QFETCH(Kind, kind);
    QFETCH(int, places);
    QFETCH(QString, sign);
    QCOMPARE(SheetDates::numberFormatOfCode(code), kind);
    QChar shownSign;
    QCOMPARE(SheetValues::placesOfNumberFormat(code, &shownSign), places);
    QCOMPARE(QString(shownSign.isNull() ? QString() : QString(shownSign)), sign);
    if (places >= 0) QCOMPARE(SheetValues::decimalsNumberFormat(places, shownSign), code);
    // the built-in numbers files use without the code
    const QList<QPair<int, Kind>> builtIn{{0, Kind::General},  {2, Kind::General},   {14, Kind::Date},
                                          {21, Kind::Time},    {22, Kind::DateTime}, {46, Kind::Time},
                                          {164, Kind::General}};
    for (const auto &[id, builtInKind] : builtIn)
        QCOMPARE(SheetDates::numberFormatOfBuiltIn(id), builtInKind);
}

void TestXlsxReader::serialDates_data()
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

void TestXlsxReader::serialDates()
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

void TestXlsxReader::sheetCellsKeepEveryCellWhateverTheLayout()
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
    QCOMPARE(small.at(100, 26).text, QStringLiteral("Z100"));
    QCOMPARE(small.at(99, 26).type, Type::Empty);
    QCOMPARE(small.at(100, 27).type, Type::Empty);
    QCOMPARE(small.filledRows(8), std::vector<int>{100});
}

QTEST_GUILESS_MAIN(TestXlsxReader)
#include "tst_xlsxreader.moc"
