#include <QtTest>

#include <QXmlStreamReader>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <unzip.h>

#include "core/record/RecordStore.h"
#include "core/workbook/RecordChart.h"
#include "core/workbook/SheetPalette.h"
#include "core/workbook/SheetValues.h"
#include "core/workbook/StagedFile.h"
#include "core/workbook/WorkbookSaveQueue.h"
#include "core/workbook/WorkbookWriter.h"

namespace
{

// --- reading back what was written: the zip entries and the sheet's cells and styles ---

QByteArray zipEntry(const QString &path, const char *name)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip) return {};
    QByteArray data;
    if (unzLocateFile(zip, name, 1) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[65536];
        int read = 0;
        while ((read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            data.append(buffer, read);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return data;
}

struct XlsxCell {
    QString type; // "s" shared string, "" number
    QString value;
    int style = 0;
};

// The first sheet of a written workbook, cell by cell.
class WrittenSheet
{
public:
    explicit WrittenSheet(const QString &path)
    {
        readSharedStrings(zipEntry(path, "xl/sharedStrings.xml"));
        readStyles(zipEntry(path, "xl/styles.xml"));
        sheetXml = zipEntry(path, "xl/worksheets/sheet1.xml");
        readCells(sheetXml);
        chartXml = zipEntry(path, "xl/charts/chart1.xml");
        drawingXml = zipEntry(path, "xl/drawings/drawing1.xml");
        workbookXml = zipEntry(path, "xl/workbook.xml");
    }

    bool has(const QString &ref) const { return m_cells.contains(ref); }
    bool isText(const QString &ref) const { return m_cells.value(ref).type == QLatin1String("s"); }
    bool isNumber(const QString &ref) const
    {
        return has(ref) && m_cells.value(ref).type.isEmpty() && !value(ref).isEmpty();
    }
    QString text(const QString &ref) const
    {
        return isText(ref) ? m_shared.value(m_cells.value(ref).value.toInt()) : QString();
    }
    double number(const QString &ref) const { return m_cells.value(ref).value.toDouble(); }
    QString value(const QString &ref) const { return m_cells.value(ref).value; }
    QString numberFormat(const QString &ref) const
    {
        return m_numberFormats.value(m_xfNumberFormat.value(m_cells.value(ref).style));
    }
    QString fontColour(const QString &ref) const
    {
        return m_fontColours.value(m_xfFont.value(m_cells.value(ref).style));
    }

    QByteArray sheetXml;
    QByteArray chartXml;
    QByteArray drawingXml;
    QByteArray workbookXml;

private:
    void readSharedStrings(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        while (reader.readNextStartElement() || !reader.atEnd()) {
            if (reader.isStartElement() && reader.name() == QLatin1String("si")) {
                QString text;
                while (!(reader.isEndElement() && reader.name() == QLatin1String("si")) && !reader.atEnd()) {
                    reader.readNext();
                    if (reader.isStartElement() && reader.name() == QLatin1String("t"))
                        text += reader.readElementText();
                }
                m_shared.append(text);
            } else if (!reader.isStartElement()) {
                reader.readNext();
            }
        }
    }

    void readStyles(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        bool inCellXfs = false;
        bool inFonts = false;
        while (!reader.atEnd()) {
            reader.readNext();
            const auto name = reader.name();
            if (reader.isEndElement()) {
                if (name == QLatin1String("cellXfs")) inCellXfs = false;
                if (name == QLatin1String("fonts")) inFonts = false;
                continue;
            }
            if (!reader.isStartElement()) continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (name == QLatin1String("numFmt")) {
                m_numberFormats.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                                       attributes.value(QLatin1String("formatCode")).toString());
            } else if (name == QLatin1String("fonts")) {
                inFonts = true;
            } else if (inFonts && name == QLatin1String("font")) {
                m_fontColours.append(QString());
            } else if (inFonts && name == QLatin1String("color")) {
                m_fontColours.last() = attributes.value(QLatin1String("rgb")).toString();
            } else if (name == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (inCellXfs && name == QLatin1String("xf")) {
                m_xfNumberFormat.append(attributes.value(QLatin1String("numFmtId")).toInt());
                m_xfFont.append(attributes.value(QLatin1String("fontId")).toInt());
            }
        }
    }

    void readCells(const QByteArray &xml)
    {
        QXmlStreamReader reader(xml);
        QString ref;
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement()) continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (reader.name() == QLatin1String("c")) {
                ref = attributes.value(QLatin1String("r")).toString();
                m_cells.insert(ref, XlsxCell{attributes.value(QLatin1String("t")).toString(), QString(),
                                             attributes.value(QLatin1String("s")).toInt()});
            } else if (reader.name() == QLatin1String("v")) {
                m_cells[ref].value = reader.readElementText();
            }
        }
    }

    QHash<QString, XlsxCell> m_cells;
    QStringList m_shared;
    QHash<int, QString> m_numberFormats{{0, QString()}};
    QList<int> m_xfNumberFormat;
    QList<int> m_xfFont;
    QStringList m_fontColours;
};

// Values of the attribute `attribute` of every element `name` of an XML text, in order.
QStringList attributeValues(const QByteArray &xml, const QString &name,
                            const QString &attribute = QStringLiteral("val"))
{
    QStringList values;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name)
            values.append(reader.attributes().value(QLatin1String(attribute.toLatin1())).toString());
    }
    return values;
}

// Texts of every element `name`, in order.
QStringList elementTexts(const QByteArray &xml, const QString &name)
{
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name) texts.append(reader.readElementText());
    }
    return texts;
}

// --- the record written in the tests ---

const QDate Day(2024, 3, 5);
const QString Omega = QStringLiteral("\u03A9");

void row(RecordStore &table, int i, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column)
        table.setCell(i, column, cells.at(column));
}

// Four sample rows. Channel 1 is DCV in mixed ranges with three samples; channel 2 ACA with
// statistics and an empty value; channel 3 has samples but no statistics; 4..6 are empty.
void fillTable(RecordStore &table)
{
    table.clearRecord({QStringLiteral("Ch1"), QStringLiteral("Load"), QStringLiteral("Ch3"),
                       QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")});
    table.stampRecord(QDateTime(Day, QTime(8, 0, 0)));
    table.setGridRowCount(6);
    const QString date = RecordStore::shortDate(Day);
    // Index, Date, then per channel Time, value, Unit
    row(table, 1,
        {"0001", date, "08:00:00", "1500.0", "mV", "08:00:00", "12.5", "A", "08:00:01", "0.05", "Hz"});
    row(table, 2, {"0002", date, "08:00:02", "1.234", "V", "08:00:02", "", "A", "08:00:03", "0.06", "Hz"});
    row(table, 3, {"0003", date, "08:00:04", "+OL", "V", "08:00:04", "-OL", "A"});
    row(table, 4, {"0004", date, "", "", "", "08:00:06", "13", "A"});
    table.functionCaption = {"DCV", "ACA", "Hz", "", "", ""};
    table.prefixCaption = {"3", "3", "3", "", "", ""};
    table.divisorCaption = {"1000", "10", "100", "", "", ""};
}

WorkbookRecord makeRecord(const RecordStore &table)
{
    WorkbookRecord record(table.snapshot());
    WorkbookChannelSummary &ch1 = record.channels[0];
    ch1.hasStatistics = true;
    ch1.average = QStringLiteral("1.367");
    ch1.unit = QStringLiteral("V");
    ch1.maximum = {QStringLiteral("08:00:00"), QStringLiteral("1.500"), QStringLiteral("V")};
    ch1.minimum = {QStringLiteral("08:00:02"), QStringLiteral("1.234"), QStringLiteral("V")};
    WorkbookChannelSummary &ch2 = record.channels[1];
    ch2.hasStatistics = true;
    ch2.average = QStringLiteral("12.8");
    ch2.unit = QStringLiteral("A");
    ch2.maximum = {QStringLiteral("08:00:04"), QStringLiteral("-OL"), QStringLiteral("A")};
    ch2.minimum = {QStringLiteral("08:00:00"), QStringLiteral("12.5"), QStringLiteral("A")};
    record.mainChannel = 0;
    record.mainFunction = 0; // DCV
    record.mainRowCount = 3;
    record.mainRangeMixed = true;
    record.mainDisplayUnit = QStringLiteral("V");
    record.titleShown = true;
    record.title = QStringLiteral("Bench A");
    return record;
}

QString timeSerialText(int h, int m, int s)
{
    return QString::number((h * 3600 + m * 60 + s) / 86400.0, 'g', 16);
}

} // namespace

class TestWorkbookWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void summaryBlock_data();
    void summaryBlock();
    void headerRow();
    void sampleCells_data();
    void sampleCells();
    void mainChannelBlock_data();
    void mainChannelBlock();
    void oddDivisorWritesPlainNumber();
    void withoutMixedRangeNoBlock();
    void rowHeightsAndColumnWidths();
    void chart_data();
    void chart();
    void progressFollowsRows();
    void failureLeavesTargetAsItWas_data();
    void failureLeavesTargetAsItWas();
    void cutShortWriteKeepsOlderFile();
    void replacesOlderFile();
    void sampleInLastRowIsKept();
    void fileNames();
    void saveQueueHandsBackInOrder();
    void saveQueueHoldsAtMostTwoJobs();

    void dateNumberFormats_data();
    void dateNumberFormats();
    void twoDigitYearsNearTheStamp_data();
    void twoDigitYearsNearTheStamp();
    void paletteIndexes();
    void chartAnchor();

private:
    QString write(const WorkbookRecord &record, WorkbookSaveKind kind = WorkbookSaveKind::SaveData);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordStore m_table;
};

void TestWorkbookWriter::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    if (qEnvironmentVariableIsSet("KEEP")) m_dir->setAutoRemove(false);
    QVERIFY(m_dir->isValid());
    fillTable(m_table);
}

QString TestWorkbookWriter::write(const WorkbookRecord &record, WorkbookSaveKind kind)
{
    const QString path = m_dir->filePath(QStringLiteral("record.xlsx"));
    QString error;
    if (!WorkbookWriter(kind).write(record, path, &error)) qWarning("%s", qPrintable(error));
    return path;
}

void TestWorkbookWriter::summaryBlock_data()
{
    QTest::addColumn<bool>("titleShown");
    QTest::newRow("title shown") << true;
    QTest::newRow("title hidden") << false;
}

void TestWorkbookWriter::summaryBlock()
{
    QFETCH(bool, titleShown);
    WorkbookRecord record = makeRecord(m_table);
    record.titleShown = titleShown;
    const WrittenSheet sheet(write(record));

    QCOMPARE(sheet.text("A1"), QStringLiteral("Title"));
    QCOMPARE(sheet.text("B1"), titleShown ? QStringLiteral("Bench A") : QString());
    QCOMPARE(sheet.has("B1"), titleShown);
    const QStringList labels = {"Type", "AVG", "MAX", "MIN"};
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(sheet.text(QStringLiteral("A%1").arg(i + 2)), labels.at(i));

    // channel 1 in C..E
    QCOMPARE(sheet.text("C2"), QStringLiteral("DCV"));
    QCOMPARE(sheet.text("D3"), QStringLiteral("1.367"));
    QCOMPARE(sheet.text("E3"), QStringLiteral("V"));
    QVERIFY(!sheet.has("C3"));
    QCOMPARE(sheet.value("C4"), timeSerialText(8, 0, 0));
    QCOMPARE(sheet.numberFormat("C4"), QStringLiteral("hh:mm:ss"));
    QCOMPARE(sheet.text("D4"), QStringLiteral("1.500")); // the shown text, not a number
    QCOMPARE(sheet.text("E4"), QStringLiteral("V"));
    QCOMPARE(sheet.value("C5"), timeSerialText(8, 0, 2));
    QCOMPARE(sheet.text("D5"), QStringLiteral("1.234"));
    QCOMPARE(sheet.text("E5"), QStringLiteral("V"));
    // channel 2 in F..H, its maximum an overload
    QCOMPARE(sheet.text("F2"), QStringLiteral("ACA"));
    QCOMPARE(sheet.text("G3"), QStringLiteral("12.8"));
    QCOMPARE(sheet.text("G4"), QStringLiteral("-OL"));
    QCOMPARE(sheet.text("G5"), QStringLiteral("12.5"));
    // channel 3 has samples but no statistics: nothing in rows 2 to 5
    for (int r = 2; r <= 5; ++r)
        for (const char *column : {"I", "J", "K"})
            QVERIFY2(!sheet.has(column + QString::number(r)), qPrintable(column + QString::number(r)));
    QVERIFY(!sheet.has("A6") && !sheet.has("C6"));
}

void TestWorkbookWriter::headerRow()
{
    const WrittenSheet sheet(write(makeRecord(m_table)));
    QCOMPARE(sheet.text("A7"), QStringLiteral("Index"));
    QCOMPARE(sheet.text("B7"), QStringLiteral("Date"));
    const QStringList names = {"Ch1", "Load", "Ch3", "Ch4", "Ch5", "Ch6"};
    const QString columns = QStringLiteral("CDEFGHIJKLMNOPQRST");
    for (int k = 0; k < 6; ++k) {
        QCOMPARE(sheet.text(columns.at(3 * k) + QStringLiteral("7")), QStringLiteral("Time"));
        QCOMPARE(sheet.text(columns.at(3 * k + 1) + QStringLiteral("7")), names.at(k));
        QCOMPARE(sheet.text(columns.at(3 * k + 2) + QStringLiteral("7")), QStringLiteral("Unit"));
    }
    QCOMPARE(sheet.text("U7"), QStringLiteral("Time"));
    QCOMPARE(sheet.text("V7"), QStringLiteral("Main Display(Ch0)"));
    QCOMPARE(sheet.text("W7"), QStringLiteral("Unit"));
}

void TestWorkbookWriter::sampleCells_data()
{
    QTest::addColumn<WorkbookSaveKind>("kind");
    QTest::newRow("Save Data") << WorkbookSaveKind::SaveData;
    QTest::newRow("automatic save") << WorkbookSaveKind::AutoSave;
}

void TestWorkbookWriter::sampleCells()
{
    QFETCH(WorkbookSaveKind, kind);
    const WrittenSheet sheet(write(makeRecord(m_table), kind));

    // index and date: numbers shown as the table shows them
    QCOMPARE(sheet.value("A8"), QStringLiteral("1"));
    QCOMPARE(sheet.numberFormat("A8"), QStringLiteral("0000"));
    QCOMPARE(sheet.value("A11"), QStringLiteral("4"));
    QCOMPARE(sheet.value("B8"), QStringLiteral("45356")); // 5 March 2024
    QCOMPARE(sheet.numberFormat("B8"),
             SheetValues::dateNumberFormat(QLocale::system().dateFormat(QLocale::ShortFormat)));
    // times: time values
    QCOMPARE(sheet.value("C9"), timeSerialText(8, 0, 2));
    QCOMPARE(sheet.numberFormat("C9"), QStringLiteral("hh:mm:ss"));
    QCOMPARE(sheet.value("I8"), timeSerialText(8, 0, 1));
    QVERIFY(!sheet.has("C11")); // channel 1 has three samples

    if (kind == WorkbookSaveKind::SaveData) {
        QVERIFY(sheet.isNumber("D8"));
        QCOMPARE(sheet.number("D8"), 1500.0);
        QCOMPARE(sheet.numberFormat("D8"), QStringLiteral("0.0"));
        QCOMPARE(sheet.number("D9"), 1.234);
        QCOMPARE(sheet.numberFormat("D9"), QStringLiteral("0.000"));
        QCOMPARE(sheet.number("G11"), 13.0);
        QCOMPARE(sheet.numberFormat("G11"), QStringLiteral("0"));
        QCOMPARE(sheet.number("J8"), 0.05);
    } else {
        QCOMPARE(sheet.text("D8"), QStringLiteral("1500.0"));
        QCOMPARE(sheet.text("D9"), QStringLiteral("1.234"));
        QCOMPARE(sheet.text("G11"), QStringLiteral("13"));
        QCOMPARE(sheet.text("J8"), QStringLiteral("0.05"));
    }
    // overloads are texts, an empty value is no cell, in both
    QCOMPARE(sheet.text("D10"), QStringLiteral("+OL"));
    QCOMPARE(sheet.text("G10"), QStringLiteral("-OL"));
    QVERIFY(!sheet.has("G9"));
    QCOMPARE(sheet.text("H9"), QStringLiteral("A"));
    QCOMPARE(sheet.text("E8"), QStringLiteral("mV"));
    // nothing below the last sample row (the table's empty last row is not a sample)
    QVERIFY(!sheet.has("A12"));
}

void TestWorkbookWriter::mainChannelBlock_data()
{
    sampleCells_data();
}

void TestWorkbookWriter::mainChannelBlock()
{
    QFETCH(WorkbookSaveKind, kind);
    const WrittenSheet sheet(write(makeRecord(m_table), kind));
    const QString blue = QStringLiteral("FF0000FF");

    QCOMPARE(sheet.value("U8"), timeSerialText(8, 0, 0));
    QCOMPARE(sheet.numberFormat("U8"), QStringLiteral("hh:mm:ss"));
    if (kind == WorkbookSaveKind::SaveData) {
        // 1500.0 mV in V, by the divisor 1000
        QCOMPARE(sheet.number("V8"), 1.5);
        QCOMPARE(sheet.numberFormat("V8"), QStringLiteral("0.000"));
        QCOMPARE(sheet.number("V9"), 1.234);
    } else {
        QCOMPARE(sheet.text("V8"), QStringLiteral("1.500"));
        QCOMPARE(sheet.text("V9"), QStringLiteral("1.234"));
    }
    QCOMPARE(sheet.text("V10"), QStringLiteral("+OL"));
    for (int r = 8; r <= 10; ++r)
        QCOMPARE(sheet.text(QStringLiteral("W%1").arg(r)), QStringLiteral("V"));
    for (const char *ref : {"U7", "V7", "W7", "U8", "V8", "W8", "V10", "W10"})
        QVERIFY2(sheet.fontColour(ref) == blue, ref);
    QVERIFY(sheet.fontColour("D8") != blue);
    // the block stops at the main channel's last sample (row 10)
    QVERIFY(!sheet.has("U11") && !sheet.has("V11") && !sheet.has("W11"));
}

void TestWorkbookWriter::oddDivisorWritesPlainNumber()
{
    m_table.divisorCaption[0] = QStringLiteral("5");
    m_table.setCell(1, 3, QStringLiteral("2.5"));
    m_table.setCell(1, 4, QStringLiteral("V"));
    const WorkbookRecord record = makeRecord(m_table);
    QCOMPARE(WrittenSheet(write(record, WorkbookSaveKind::AutoSave)).text("V8"), QStringLiteral("2.5"));
    const WrittenSheet saved(write(record, WorkbookSaveKind::SaveData));
    QCOMPARE(saved.number("V8"), 2.5);
    QCOMPARE(saved.numberFormat("V8"), QStringLiteral("0.0"));
}

void TestWorkbookWriter::withoutMixedRangeNoBlock()
{
    WorkbookRecord record = makeRecord(m_table);
    record.mainRangeMixed = false;
    const WrittenSheet sheet(write(record));
    for (const char *ref : {"U7", "V7", "W7", "U8", "V8", "W8"})
        QVERIFY2(!sheet.has(ref), ref);
    QVERIFY(!sheet.sheetXml.contains("min=\"21\""));
}

void TestWorkbookWriter::rowHeightsAndColumnWidths()
{
    const WrittenSheet sheet(write(makeRecord(m_table)));
    QCOMPARE(attributeValues(sheet.sheetXml, "sheetFormatPr", "defaultRowHeight"), QStringList{"16.5"});
    QCOMPARE(attributeValues(sheet.sheetXml, "sheetFormatPr", "customHeight"), QStringList{"1"});
    const QStringList widths = attributeValues(sheet.sheetXml, "col", "width");
    const QStringList firsts = attributeValues(sheet.sheetXml, "col", "min");
    QCOMPARE(firsts.size(), 23);
    // widths in characters plus the writer's cell padding: 6 -> 6.7109375, 10 -> 10.7109375
    QStringList expected = {"6.7109375", "10.7109375"};
    for (int k = 0; k < 7; ++k)
        expected << "10.7109375"
                 << "10.7109375"
                 << "6.7109375";
    QCOMPARE(widths, expected);
    QCOMPARE(attributeValues(sheet.workbookXml, "sheet", "name"), QStringList{"Sheet1"});
}

void TestWorkbookWriter::chart_data()
{
    QTest::addColumn<bool>("mixed");
    QTest::addColumn<int>("mainChannel");
    QTest::addColumn<bool>("titleShown");
    QTest::addColumn<QStringList>("formulas");
    QTest::addColumn<QString>("seriesName");
    QTest::addColumn<QString>("valueAxisTitle");
    QTest::newRow("mixed, over U and V")
        << true << 0 << true << QStringList{"Sheet1!$U$8:$U$10", "Sheet1!$V$8:$V$10"} << "DCV"
        << "Data (V)";
    QTest::newRow("channel 1") << false << 0 << false
                               << QStringList{"Sheet1!$C$2", "Sheet1!$C$8:$C$10", "Sheet1!$D$8:$D$10"} << ""
                               << "Data (mV)";
    QTest::newRow("channel 6") << false << 5 << true
                               << QStringList{"Sheet1!$R$2", "Sheet1!$R$8:$R$10", "Sheet1!$S$8:$S$10"} << ""
                               << "Data (mV)";
}

void TestWorkbookWriter::chart()
{
    QFETCH(bool, mixed);
    QFETCH(int, mainChannel);
    QFETCH(bool, titleShown);
    QFETCH(QStringList, formulas);
    QFETCH(QString, seriesName);
    QFETCH(QString, valueAxisTitle);
    WorkbookRecord record = makeRecord(m_table);
    record.mainRangeMixed = mixed;
    record.mainChannel = mainChannel;
    record.mainDisplayUnit = QStringLiteral("mV");
    record.titleShown = titleShown;
    const QByteArray xml = WrittenSheet(write(record)).chartXml;
    QVERIFY(!xml.isEmpty());

    QCOMPARE(attributeValues(xml, "ser", "").size(), 1);
    QCOMPARE(elementTexts(xml, "f"), formulas);
    if (!seriesName.isEmpty()) QCOMPARE(elementTexts(xml, "v").value(0), seriesName); // the series' own name
    QCOMPARE(attributeValues(xml, "lineChart", "").size(), 1);
    QCOMPARE(attributeValues(xml, "symbol"), QStringList{"circle"});
    QCOMPARE(attributeValues(xml, "size"), QStringList{"3"});
    QCOMPARE(attributeValues(xml, "majorTickMark"), (QStringList{"in", "in"}));
    QCOMPARE(attributeValues(xml, "minorTickMark"), (QStringList{"in", "in"}));
    QCOMPARE(attributeValues(xml, "tickLblPos"), (QStringList{"low", "low"}));
    // series line and marker in palette colour 32 (blue); hairline axes in the automatic colour
    QCOMPARE(attributeValues(xml, "srgbClr"), (QStringList{"0000FF", "0000FF", "0000FF"}));
    QCOMPARE(attributeValues(xml, "ln", "w"), (QStringList{"19050", "", "3175", "3175"}));
    QCOMPARE(attributeValues(xml, "numFmt", "formatCode"), (QStringList{"hh:mm:ss", "General"}));
    // the time labels read upwards
    QVERIFY(attributeValues(xml, "bodyPr", "rot").contains("-5400000"));

    QStringList texts = {"Time", valueAxisTitle};
    if (titleShown) texts.prepend("Bench A");
    QCOMPARE(elementTexts(xml, "t"), texts);
    QCOMPARE(attributeValues(xml, "autoTitleDeleted"), titleShown ? QStringList() : QStringList{"1"});
}

void TestWorkbookWriter::progressFollowsRows()
{
    QList<QPair<int, int>> calls;
    WorkbookWriter writer(WorkbookSaveKind::SaveData, [&calls](int row, int rows) {
        calls.append({row, rows});
    });
    QVERIFY(writer.write(makeRecord(m_table), m_dir->filePath("p.xlsx")));
    QCOMPARE(calls, (QList<QPair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
}

void TestWorkbookWriter::failureLeavesTargetAsItWas_data()
{
    QTest::addColumn<QString>("target");    // relative to the test folder
    QTest::addColumn<QString>("olderFile"); // an older file of the target's name, or none
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("missing folder") << "missing/r.xlsx"
                                    << "" << false;
    QTest::newRow("folder is a file") << "plain/r.xlsx"
                                      << "" << false;
    QTest::newRow("target is a folder") << "taken.xlsx"
                                        << "" << false;
    QTest::newRow("read-only folder") << "locked/r.xlsx"
                                      << "locked/r.xlsx" << true;
}

void TestWorkbookWriter::failureLeavesTargetAsItWas()
{
    QFETCH(QString, target);
    QFETCH(QString, olderFile);
    QFETCH(bool, readOnlyFolder);
    if (readOnlyFolder && geteuid() == 0) QSKIP("the superuser writes into read-only folders");

    const QDir dir(m_dir->path());
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(dir.mkpath("taken.xlsx/inside"));
    QVERIFY(dir.mkpath("locked"));
    if (!olderFile.isEmpty()) {
        QFile older(dir.filePath(olderFile));
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("older");
    }
    if (readOnlyFolder) QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    const auto listing = [&dir] {
        QStringList names;
        for (const QString &sub :
             {QStringLiteral("."), QStringLiteral("locked"), QStringLiteral("taken.xlsx")})
            for (const QString &name :
                 QDir(dir.filePath(sub)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                names << sub + QLatin1Char('/') + name;
        return names;
    };
    const QStringList before = listing();

    QString error;
    const QString path = dir.filePath(target);
    QVERIFY(!WorkbookWriter(WorkbookSaveKind::SaveData).write(makeRecord(m_table), path, &error));
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QVERIFY2(error.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")), qPrintable(error));
    QVERIFY2(error.size() > path.size() + 2, qPrintable(error));
    QCOMPARE(listing(), before); // no file, no temporary file
    if (!olderFile.isEmpty()) {
        QFile older(dir.filePath(olderFile));
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older"));
    }
}

void TestWorkbookWriter::cutShortWriteKeepsOlderFile()
{
    // A record whose sheet XML is far larger than its compressed file, written under a file
    // size limit: the writer's temporary sheet part is cut short as on a full disk, while
    // the package itself still fits.
    m_table.setGridRowCount(402);
    for (int i = 1; i <= 400; ++i)
        row(m_table, i,
            {QString::number(i).rightJustified(4, u'0'), RecordStore::shortDate(Day), "08:00:00",
             QString::number(i * 0.125, 'f', 3), "V"});
    const QString path = m_dir->filePath("record.xlsx");
    QFile older(path);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 48 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool written = WorkbookWriter(WorkbookSaveKind::SaveData).write(makeRecord(m_table), path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QVERIFY2(error.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")), qPrintable(error));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"record.xlsx"});
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older"));
}

void TestWorkbookWriter::replacesOlderFile()
{
    const QString path = m_dir->filePath("record.xlsx");
    QFile older(path);
    QVERIFY(older.open(QIODevice::WriteOnly));
    older.write("older");
    older.close();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    QVERIFY(WorkbookWriter(WorkbookSaveKind::AutoSave).write(makeRecord(m_table), path));
    QCOMPARE(WrittenSheet(path).text("A1"), QStringLiteral("Title"));
    const QFile::Permissions ownerGroupOther(0x7077);
    QCOMPARE(QFile::permissions(path) & ownerGroupOther,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"record.xlsx"});
}

void TestWorkbookWriter::sampleInLastRowIsKept()
{
    // At the 9999-row split the newest sample sits in the table's last row.
    row(m_table, 5, {"0005", RecordStore::shortDate(Day), "", "", "", "08:00:08", "14", "A"});
    QList<int> rows;
    WorkbookWriter writer(WorkbookSaveKind::SaveData, [&rows](int, int rowCount) { rows.append(rowCount); });
    QVERIFY(writer.write(makeRecord(m_table), m_dir->filePath("record.xlsx")));
    const WrittenSheet sheet(m_dir->filePath("record.xlsx"));
    QCOMPARE(sheet.value("A12"), QStringLiteral("5"));
    QCOMPARE(sheet.number("G12"), 14.0);
    QCOMPARE(rows.value(0), 5);
}

void TestWorkbookWriter::fileNames()
{
    QCOMPARE(WorkbookFiles::autoSavePath("/data", RecordStore::fileNameForStamp("20240305_140709")),
             QStringLiteral("/data/240305_140709.xlsx"));
    QCOMPARE(WorkbookFiles::baseName("240305_140709.xlsx"), QStringLiteral("240305_140709"));
    QVERIFY(WorkbookFiles::hasRecord(m_table));
    m_table.setCell(1, 1, QString());
    QVERIFY(!WorkbookFiles::hasRecord(m_table));
}

void TestWorkbookWriter::dateNumberFormats_data()
{
    QTest::addColumn<QString>("qtFormat");
    QTest::addColumn<QString>("sheetFormat");
    QTest::newRow("US") << "M/d/yy"
                        << "m/d/yy";
    QTest::newRow("German") << "dd.MM.yy"
                            << "dd.mm.yy";
    QTest::newRow("ISO") << "yyyy-MM-dd"
                         << "yyyy-mm-dd";
    QTest::newRow("quoted text") << "d 'de' MMMM yyyy"
                                 << "d \\d\\e mmmm yyyy";
    QTest::newRow("Japanese") << QStringLiteral("yyyy/MM/dd ddd") << "yyyy/mm/dd ddd";
    QTest::newRow("Chinese marks") << QStringLiteral("yyyy\u5E74M\u6708d\u65E5")
                                   << QStringLiteral("yyyy\\\u5E74m\\\u6708d\\\u65E5");
}

void TestWorkbookWriter::dateNumberFormats()
{
    QFETCH(QString, qtFormat);
    QFETCH(QString, sheetFormat);
    QCOMPARE(SheetValues::dateNumberFormat(qtFormat), sheetFormat);
}

void TestWorkbookWriter::twoDigitYearsNearTheStamp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("near");
    QTest::addColumn<QDate>("date");
    QTest::newRow("this century") << "3/5/24" << QDate(2024, 3, 5) << QDate(2024, 3, 5);
    QTest::newRow("across the turn") << "12/31/99" << QDate(2000, 1, 1) << QDate(1999, 12, 31);
    QTest::newRow("into the next") << "1/1/00" << QDate(1999, 12, 31) << QDate(2000, 1, 1);
}

void TestWorkbookWriter::twoDigitYearsNearTheStamp()
{
    QFETCH(QString, text);
    QFETCH(QDate, near);
    QFETCH(QDate, date);
    QCOMPARE(SheetValues::parseDate(text, QStringLiteral("M/d/yy"), near), std::optional<QDate>(date));
    QCOMPARE(SheetValues::parseDate(QStringLiteral("05.03.2024"), QStringLiteral("dd.MM.yyyy"), near),
             std::optional<QDate>(QDate(2024, 3, 5)));
    QVERIFY(!SheetValues::parseDate(QStringLiteral("-"), QStringLiteral("M/d/yy"), near));
    QCOMPARE(SheetValues::dateSerial(QDate(1900, 3, 1)), 61.0);
}

void TestWorkbookWriter::paletteIndexes()
{
    QCOMPARE(paletteColour(32), std::optional<QRgb>(0x0000FF));
    QCOMPARE(paletteColour(1), std::optional<QRgb>(0x000000));
    QCOMPARE(paletteColour(56), std::optional<QRgb>(0x333333));
    QVERIFY(!paletteColour(57));
    QVERIFY(!paletteColour(0));
}

void TestWorkbookWriter::chartAnchor()
{
    // 300 x 150 points = 400 x 200 pixels: past A..F (47+75*3+47+75 = 394 px), 9 rows of 22 px
    SheetGeometry geometry;
    geometry.rowHeight = 16.5;
    geometry.columnWidths = {6, 10, 10, 10, 6, 10, 10, 6};
    const SheetAnchor anchor = anchorAt(300, 150, geometry);
    QCOMPARE(anchor.column, 6);
    QCOMPARE(anchor.xOffset, 6);
    QCOMPARE(anchor.row, 9);
    QCOMPARE(anchor.yOffset, 2);

    const WrittenSheet sheet(write(makeRecord(m_table)));
    // from G10 + (6, 2) px to S23 + (18, 20) px: 800 x 300 px, i.e. 600 x 225 points (9525 EMU a pixel)
    QCOMPARE(elementTexts(sheet.drawingXml, "col"), (QStringList{"6", "18"}));
    QCOMPARE(elementTexts(sheet.drawingXml, "colOff"), (QStringList{"57150", "171450"}));
    QCOMPARE(elementTexts(sheet.drawingXml, "row"), (QStringList{"9", "22"}));
    QCOMPARE(elementTexts(sheet.drawingXml, "rowOff"), (QStringList{"19050", "190500"}));
}

// The background saves: every outcome comes back once, in order, on the queue's thread; a file
// that cannot be written goes to the job's second path, where there is one.
void TestWorkbookWriter::saveQueueHandsBackInOrder()
{
    QList<WorkbookSaveQueue::Outcome> outcomes;
    const auto refusing = [](const WorkbookRecord &record, StagedFile &file, QString *error) {
        if (!file.targetPath().contains(QLatin1String("refused")))
            return WorkbookWriter(WorkbookSaveKind::AutoSave).write(record, file, error);
        *error = file.targetPath() + QStringLiteral(": No space left on device");
        return false;
    };
    WorkbookSaveQueue queue(refusing, [&outcomes](const WorkbookSaveQueue::Outcome &outcome) {
        QCOMPARE(QThread::currentThread(), QCoreApplication::instance()->thread());
        outcomes << outcome;
    });
    const auto job = [this](const QString &name, const QString &fallback) {
        auto file = std::make_unique<StagedFile>(m_dir->filePath(name));
        QString error;
        if (!file->create(&error)) qWarning("%s", qPrintable(error));
        return WorkbookSaveQueue::Job{name, makeRecord(m_table), std::move(file), fallback,
                                      QStringList{QStringLiteral("earlier")}};
    };
    const QString fallback = m_dir->filePath(QStringLiteral("elsewhere/b.xlsx"));
    queue.add(job(QStringLiteral("a.xlsx"), QString()));
    queue.add(job(QStringLiteral("refused-b.xlsx"), fallback));
    queue.add(job(QStringLiteral("refused-c.xlsx"), QString()));
    queue.waitForAll();
    QCoreApplication::processEvents(); // the posted hand-backs find nothing left

    QCOMPARE(outcomes.size(), 3);
    QCOMPARE(outcomes.at(0).path, m_dir->filePath(QStringLiteral("a.xlsx")));
    QCOMPARE(outcomes.at(0).failures, QStringList{QStringLiteral("earlier")});
    QCOMPARE(outcomes.at(1).recordFileName, QStringLiteral("refused-b.xlsx"));
    QCOMPARE(outcomes.at(1).path, fallback);
    QCOMPARE(outcomes.at(1).failures,
             (QStringList{QStringLiteral("earlier"), m_dir->filePath(QStringLiteral("refused-b.xlsx")) +
                                                         QStringLiteral(": No space left on device")}));
    QVERIFY(outcomes.at(2).path.isEmpty());
    QCOMPARE(outcomes.at(2).failures.size(), 2);
    for (const QString &written : {outcomes.at(0).path, fallback})
        QVERIFY2(!zipEntry(written, "xl/worksheets/sheet1.xml").isEmpty(), qPrintable(written));
    // Neither the refused files nor their temporary files are left behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.xlsx"});
}

// A third record handed over while two are still being written waits for the oldest.
void TestWorkbookWriter::saveQueueHoldsAtMostTwoJobs()
{
    QSemaphore gate;
    QAtomicInt written;
    WorkbookSaveQueue queue(
        [&](const WorkbookRecord &, StagedFile &file, QString *) {
            gate.acquire();
            ++written;
            QString error;
            return file.commit(&error);
        },
        [](const WorkbookSaveQueue::Outcome &) {});
    for (int n = 1; n <= WorkbookSaveQueue::MaxJobs + 1; ++n) {
        auto file = std::make_unique<StagedFile>(m_dir->filePath(QStringLiteral("%1.xlsx").arg(n)));
        QString error;
        QVERIFY(file->create(&error));
        if (n == WorkbookSaveQueue::MaxJobs + 1) {
            QCOMPARE(written.loadRelaxed(), 0);
            std::unique_ptr<QThread> opener(QThread::create([&gate] {
                QThread::msleep(50);
                gate.release(WorkbookSaveQueue::MaxJobs + 1);
            }));
            opener->start();
            queue.add({QString(), makeRecord(m_table), std::move(file), {}, {}});
            QVERIFY(written.loadRelaxed() >= 1);
            opener->wait();
        } else {
            queue.add({QString(), makeRecord(m_table), std::move(file), {}, {}});
        }
    }
    queue.waitForAll();
    QCOMPARE(written.loadRelaxed(), WorkbookSaveQueue::MaxJobs + 1);
}

QTEST_GUILESS_MAIN(TestWorkbookWriter)
#include "tst_workbookwriter.moc"
