#include <QtTest>

#include <QXmlStreamReader>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#include <unzip.h>

#include "core/record/RecordStore.h"
#include "core/workbook/RecordChart.h"
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

// Values of the attribute `attribute` of every element `name` of an XML text, in order; without
// an attribute, the elements' texts.
QStringList attributeValues(const QByteArray &xml, const QString &name, const QString &attribute = {})
{
    QStringList values;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name)
            values.append(attribute.isEmpty() ? reader.readElementText()
                                              : reader.attributes().value(attribute).toString());
    }
    return values;
}

// The first sheet of a written workbook: each cell as "text", "number|format code" or "" for
// none, and its font colour.
class WrittenSheet
{
public:
    explicit WrittenSheet(const QString &path)
        : sheetXml(zipEntry(path, "xl/worksheets/sheet1.xml")),
          chartXml(zipEntry(path, "xl/charts/chart1.xml")),
          drawingXml(zipEntry(path, "xl/drawings/drawing1.xml"))
    {
        const QStringList strings =
            attributeValues(zipEntry(path, "xl/sharedStrings.xml"), QStringLiteral("t"));
        QHash<QString, QString> codes{{QStringLiteral("0"), QString()}};
        QStringList xfCodes, xfFonts, fontColours;
        QXmlStreamReader styles(zipEntry(path, "xl/styles.xml"));
        QString section;
        while (!styles.atEnd()) {
            if (styles.readNext() != QXmlStreamReader::StartElement) continue;
            const auto attribute = [&](const char *name) {
                return styles.attributes().value(QLatin1String(name)).toString();
            };
            const QStringView name = styles.name();
            if (name == u"numFmt") codes.insert(attribute("numFmtId"), attribute("formatCode"));
            if (name == u"fonts" || name == u"cellXfs" || name == u"cellStyleXfs") section = name.toString();
            if (section == u"fonts" && name == u"font") fontColours << QString();
            if (section == u"fonts" && name == u"color") fontColours.last() = attribute("rgb");
            if (section == u"cellXfs" && name == u"xf") {
                xfCodes << codes.value(attribute("numFmtId"));
                xfFonts << fontColours.value(attribute("fontId").toInt());
            }
        }
        QXmlStreamReader cells(sheetXml);
        QString ref, type;
        int style = 0;
        while (!cells.atEnd()) {
            if (cells.readNext() != QXmlStreamReader::StartElement) continue;
            if (cells.name() == u"c") {
                ref = cells.attributes().value(QLatin1String("r")).toString();
                type = cells.attributes().value(QLatin1String("t")).toString();
                style = cells.attributes().value(QLatin1String("s")).toInt();
                m_cells.insert(ref, QString());
                m_colours.insert(ref, xfFonts.value(style));
            } else if (cells.name() == u"v") {
                const QString v = cells.readElementText();
                m_cells[ref] = type == u"s" ? QString(u'\'' + strings.value(v.toInt()))
                                            : QString(v + u'|' + xfCodes.value(style));
            }
        }
    }
    // "'text" for a text, "number|format code" for a number, "" for a blank, none when absent
    QString cell(const QString &ref) const { return m_cells.value(ref, QStringLiteral("none")); }
    QString fontColour(const QString &ref) const { return m_colours.value(ref); }

    QByteArray sheetXml;
    QByteArray chartXml;
    QByteArray drawingXml;

private:
    QHash<QString, QString> m_cells;
    QHash<QString, QString> m_colours;
};

// --- the record written in the tests ---

const QDate Day(2024, 3, 5);

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
        {"0001", date, "08:00:00", "1500.0", "mV", "08:00:00", "12.50", "A", "08:00:01", "0.05", "Hz"});
    row(table, 2, {"0002", date, "08:00:02", "1.234", "V", "08:00:02", "", "A", "08:00:03", "-0", "Hz"});
    row(table, 3, {"0003", date, "08:00:04", "+OL", "V", "08:00:04", "-OL", "A", "08:00:05", "+0", "Hz"});
    row(table, 4, {"0004", date, "", "", "", "08:00:06", "13", "A"});
    table.functionCaption = {"DCV", "ACA", "Hz", "", "", ""};
    table.prefixCaption = {"3", "3", "3", "", "", ""};
    table.divisorCaption = {"1000", "10", "100", "", "", ""};
}

WorkbookRecord makeRecord(const RecordStore &table)
{
    WorkbookRecord record(table.snapshot());
    record.channels[0] = {true, "1.367", "V", {"08:00:00", "1.500", "V"}, {"08:00:02", "1.234", "V"}};
    record.channels[1] = {true, "12.8", "A", {"08:00:04", "-OL", "A"}, {"08:00:00", "12.5", "A"}};
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
    return QString::number((h * 3600 + m * 60 + s) / 86400.0, 'g', 16) + QStringLiteral("|hh:mm:ss");
}

} // namespace

class TestWorkbookWriter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        if (qEnvironmentVariableIsSet("KEEP")) m_dir->setAutoRemove(false);
        QVERIFY(m_dir->isValid());
        fillTable(m_table);
    }
    // The record's cells as the sheet holds them: texts, numbers with the number format that shows
    // them as the table does, and the main-channel block in blue.
    void cells_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QString>("content"); // as WrittenSheet::cell() gives it
        QTest::addColumn<bool>("blue");
        const auto cell = [](const QString &ref, const QString &content, bool blue = false) {
            QTest::newRow(qPrintable(ref)) << ref << content << blue;
        };
        // "ref=content;..."; "'" marks a text, "number|format code" a number, "none" no cell:
        // the summary labels, then per channel with statistics its function, average and extremes
        // as numbers with their decimals (a channel without has nothing in rows 2 to 5; row 6 stays
        // empty); the header row with the channels' names; samples with the reading's decimals (a
        // signed whole zero keeps its sign), overloads as texts, no cell for an empty value or below
        // the last sample.
        const QString cells = QStringLiteral(
            "A1='Title;B1='Bench "
            "A;A2='Type;A3='AVG;A4='MAX;A5='MIN;C2='DCV;D3=1.367|0.000;E3='V;D4=1.5|0.000;E4='V;"
            "D5=1.234|0.000;E5='V;F2='ACA;G3=12.8|0.0;G4='-OL;G5=12.5|0.0;I2=none;J3=none;K4=none;I5=none;A6="
            "none;"
            "C6=none;C3=none;A7='Index;B7='Date;C7='Time;D7='Ch1;E7='Unit;G7='Load;S7='Ch6;T7='Unit;"
            "A8=1|0000;A11=4|0000;D8=1500|0.0;D9=1.234|0.000;G8=12.5|0.00;G11=13|0;J8=0.05|0.00;"
            "J9=0|\"-\"0;J10=0|\"+\"0;D10='+OL;G10='-OL;G9=none;H9='A;E8='mV;C11=none;A12=none;U11=none");
        // the main channel in one prefix (1500.0 mV in V by the divisor 1000), in blue
        const QString block = QStringLiteral(
            "U7='Time;V7='Main Display(Ch0);W7='Unit;V8=1.5|0.000;V9=1.234|0.000;V10='+OL;W10='V");
        for (const QString &entry : cells.split(u';'))
            cell(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        for (const QString &entry : block.split(u';'))
            cell(entry.section(u'=', 0, 0), entry.section(u'=', 1), true);
        // times and dates as serial days, shown as the table shows them
        cell("C4", timeSerialText(8, 0, 0));
        cell("C5", timeSerialText(8, 0, 2));
        cell("C9", timeSerialText(8, 0, 2));
        cell("I8", timeSerialText(8, 0, 1));
        cell("U8", timeSerialText(8, 0, 0), true);
        cell("B8", QStringLiteral("45356|") +
                       SheetValues::dateNumberFormat(QLocale::system().dateFormat(QLocale::ShortFormat)));
    }
    void cells()
    {
        QFETCH(QString, ref);
        QFETCH(QString, content);
        QFETCH(bool, blue);
        static QTemporaryDir folder;
        static const QString path = [] {
            RecordStore table;
            fillTable(table);
            const QString file = folder.filePath(QStringLiteral("cells.xlsx"));
            WorkbookWriter().write(makeRecord(table), file);
            return file;
        }();
        static const WrittenSheet sheet(path);
        QCOMPARE(sheet.cell(ref), content);
        QCOMPARE(sheet.fontColour(ref) == QLatin1String("FF0000FF"), blue);
    }
    void chart_data()
    {
        QTest::addColumn<bool>("mixed");
        QTest::addColumn<int>("mainChannel");
        QTest::addColumn<bool>("titleShown");
        QTest::addColumn<QStringList>("formulas");
        QTest::addColumn<QString>("seriesName");
        QTest::addColumn<QString>("valueAxisTitle");
        QTest::addColumn<QStringList>("plotted"); // the values cached for the series, 0 for a text
        QTest::newRow("mixed, over U and V")
            << true << 0 << true << QStringList{"Sheet1!$U$8:$U$10", "Sheet1!$V$8:$V$10"} << "DCV"
            << "Data (V)" << QStringList{"1.5", "1.234", "0"};
        QTest::newRow("channel 1, no title, no block")
            << false << 0 << false << QStringList{"Sheet1!$C$2", "Sheet1!$C$8:$C$10", "Sheet1!$D$8:$D$10"}
            << ""
            << "Data (mV)" << QStringList{"1500", "1.234", "0"};
        QTest::newRow("channel 2, odd divisor")
            << true << 1 << true << QStringList{"Sheet1!$U$8:$U$10", "Sheet1!$V$8:$V$10"} << "ACA"
            << "Data (A)" << QStringList{"12.5", "0", "0"};
    }
    void chart()
    {
        QFETCH(bool, mixed);
        QFETCH(int, mainChannel);
        QFETCH(bool, titleShown);
        QFETCH(QStringList, formulas);
        QFETCH(QString, seriesName);
        QFETCH(QString, valueAxisTitle);
        QFETCH(QStringList, plotted);
        m_table.divisorCaption[1] = QStringLiteral("5"); // leaves the converted value as it is
        WorkbookRecord record = makeRecord(m_table);
        record.mainRangeMixed = mixed;
        record.mainChannel = mainChannel;
        record.mainFunction = mainChannel == 0 ? 0 : 3;
        record.mainDisplayUnit = QStringLiteral("mV");
        record.titleShown = titleShown;
        const WrittenSheet sheet(write(record));
        const QByteArray xml = sheet.chartXml;
        QVERIFY(!xml.isEmpty());
        QCOMPARE(sheet.cell("B1") != QLatin1String("none"), titleShown);
        QCOMPARE(sheet.cell("V7") != QLatin1String("none"), mixed);
        QCOMPARE(sheet.sheetXml.contains("min=\"21\""), mixed); // the block's column widths
        QCOMPARE(attributeValues(xml, "f"), formulas);
        if (!seriesName.isEmpty())
            QCOMPARE(attributeValues(xml, "v").value(0), seriesName); // the series' own name
        QCOMPARE(attributeValues(xml, "v").mid(attributeValues(xml, "v").size() - 3), plotted);
        // one line series with circle markers, line and marker in palette colour 32 (blue), ticks
        // inside, labels low, hairline axes in the automatic colour, the time labels reading upwards
        QStringList look;
        for (const char *name :
             {"ser -", "lineChart -", "symbol val", "size val", "majorTickMark val", "minorTickMark val",
              "tickLblPos val", "srgbClr val", "ln w", "numFmt formatCode"}) {
            const QString entry = QLatin1String(name);
            look << entry.section(u' ', 0, 0) + u'=' +
                        attributeValues(xml, entry.section(u' ', 0, 0), entry.section(u' ', 1)).join(u',');
        }
        QCOMPARE(look.join(u' '),
                 QStringLiteral("ser= lineChart= symbol=circle size=3 majorTickMark=in,in "
                                "minorTickMark=in,in tickLblPos=low,low srgbClr=0000FF,0000FF,0000FF "
                                "ln=19050,,3175,3175 numFmt=hh:mm:ss,General"));
        QVERIFY(attributeValues(xml, "bodyPr", "rot").contains("-5400000"));
        QStringList texts = {"Time", valueAxisTitle};
        if (titleShown) texts.prepend("Bench A");
        QCOMPARE(attributeValues(xml, "t"), texts);
        QCOMPARE(attributeValues(xml, "autoTitleDeleted", "val"),
                 titleShown ? QStringList() : QStringList{"1"});
    }
    // Every row is 16.5 points high, the columns 6, 10, 10, 6 wide as laid out, and the chart stands
    // at 300, 150 points, 600 x 225 points large (800 x 300 pixels), however many rows hold cells.
    void chartSizeWhateverTheRecordLength_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("4 rows") << 4;
        QTest::newRow("60 rows") << 60;
    }
    void chartSizeWhateverTheRecordLength()
    {
        QFETCH(int, rows);
        m_table.setGridRowCount(rows + 2);
        for (int i = 5; i <= rows; ++i)
            row(m_table, i, {QString::number(i).rightJustified(4, u'0'), RecordStore::shortDate(Day)});
        const WrittenSheet sheet(write(makeRecord(m_table)));
        QCOMPARE(attributeValues(sheet.sheetXml, "sheetFormatPr", "defaultRowHeight"), QStringList{"16.5"});
        QStringList heights = attributeValues(sheet.sheetXml, "row", "ht");
        QCOMPARE(heights.size(), rows + 6);
        heights.removeDuplicates();
        QCOMPARE(heights, QStringList{"16.5"});
        // widths in characters plus the writer's cell padding: 6 -> 6.7109375, 10 -> 10.7109375
        QStringList widths = {"6.7109375", "10.7109375"};
        for (int k = 0; k < 7; ++k)
            widths += QStringList{"10.7109375", "10.7109375", "6.7109375"};
        QCOMPARE(attributeValues(sheet.sheetXml, "col", "width"), widths);
        // 400 x 200 pixels from the corner: G10 + (6, 2) px (A..F are 394 px, rows 22 px); 800 x 300
        // pixels on, S23 + (18, 16) px (9525 EMU a pixel)
        QCOMPARE(attributeValues(sheet.drawingXml, "col"), (QStringList{"6", "18"}));
        QCOMPARE(attributeValues(sheet.drawingXml, "colOff"), (QStringList{"57150", "171450"}));
        QCOMPARE(attributeValues(sheet.drawingXml, "row"), (QStringList{"9", "22"}));
        QCOMPARE(attributeValues(sheet.drawingXml, "rowOff"), (QStringList{"19050", "152400"}));
    }
    // At the 9999-row split the newest sample sits in the table's last row; progress is told per row.
    void sampleInLastRowIsKept()
    {
        row(m_table, 5, {"0005", RecordStore::shortDate(Day), "", "", "", "08:00:08", "14", "A"});
        QList<QPair<int, int>> calls;
        WorkbookWriter writer([&calls](int row, int rows) { calls.append({row, rows}); });
        QVERIFY(writer.write(makeRecord(m_table), m_dir->filePath("record.xlsx")));
        const WrittenSheet sheet(m_dir->filePath("record.xlsx"));
        QCOMPARE(sheet.cell("A12"), QStringLiteral("5|0000"));
        QCOMPARE(sheet.cell("G12"), QStringLiteral("14|0"));
        QCOMPARE(calls, (QList<QPair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));
    }
    // A target that cannot be written leaves no file, no temporary file and an older file as it was.
    void failureLeavesTargetAsItWas_data()
    {
        QTest::addColumn<QString>("target");      // relative to the test folder
        QTest::addColumn<bool>("readOnlyFolder"); // an older file of the target's name in it
        QTest::newRow("missing folder") << "missing/r.xlsx" << false;
        QTest::newRow("target is a folder") << "taken.xlsx" << false;
        QTest::newRow("read-only folder") << "locked/r.xlsx" << true;
    }
    void failureLeavesTargetAsItWas()
    {
        QFETCH(QString, target);
        QFETCH(bool, readOnlyFolder);
        const QString olderFile = readOnlyFolder ? target : QString();
        if (readOnlyFolder && geteuid() == 0) QSKIP("the superuser writes into read-only folders");
        const QDir dir(m_dir->path());
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
                     QDir(dir.filePath(sub))
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                    names << sub + QLatin1Char('/') + name;
            return names;
        };
        const QStringList before = listing();
        QString error;
        const QString path = dir.filePath(target);
        QVERIFY(!WorkbookWriter().write(makeRecord(m_table), path, &error));
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
    void cutShortWriteKeepsOlderFileUntilAWholeOneReplacesIt()
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
        const bool written = WorkbookWriter().write(makeRecord(m_table), path, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!written);
        QVERIFY2(error.startsWith(QDir::toNativeSeparators(path) + QStringLiteral(": ")), qPrintable(error));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"record.xlsx"});
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("older"));
        older.close();
        // Without the limit the record replaces it, which keeps its permissions.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(WorkbookWriter().write(makeRecord(m_table), path));
        QCOMPARE(WrittenSheet(path).cell("A1"), QStringLiteral("'Title"));
        QCOMPARE(QFile::permissions(path) & QFile::Permissions(0x7077),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"record.xlsx"});
    }
    void fileNames()
    {
        QCOMPARE(WorkbookFiles::autoSavePath("/data", RecordStore::fileNameForStamp("20240305_140709")),
                 QStringLiteral("/data/240305_140709.xlsx"));
        QCOMPARE(WorkbookFiles::baseName("240305_140709.xlsx"), QStringLiteral("240305_140709"));
        QCOMPARE(WorkbookFiles::baseName("pump test, bench 4.XLS"), QStringLiteral("pump test, bench 4"));
        QVERIFY(WorkbookFiles::hasRecord(m_table));
        m_table.setCell(1, 1, QString());
        QVERIFY(!WorkbookFiles::hasRecord(m_table));
    }
    // Dates as the locale writes them: the sheet's date format, and two-digit years read near the
    // record's stamp.
    void dates()
    {
        const QList<QPair<QString, QString>> formats{
            {"M/d/yy", "m/d/yy"},
            {"dd.MM.yy", "dd.mm.yy"},
            {"yyyy-MM-dd", "yyyy-mm-dd"},
            {"d 'de' MMMM yyyy", "d \\d\\e mmmm yyyy"},
            {"yyyy/MM/dd ddd", "yyyy/mm/dd ddd"},
            {QStringLiteral("yyyy\u5E74M\u6708d\u65E5"), QStringLiteral("yyyy\\\u5E74m\\\u6708d\\\u65E5")}};
        for (const auto &[qtFormat, sheetFormat] : formats)
            QCOMPARE(SheetValues::dateNumberFormat(qtFormat), sheetFormat);
        const QList<std::tuple<QString, QDate, QDate>> years{
            {"3/5/24", Day, Day},
            {"12/31/99", QDate(2000, 1, 1), QDate(1999, 12, 31)},
            {"1/1/00", QDate(1999, 12, 31), QDate(2000, 1, 1)}};
        for (const auto &[text, near, date] : years)
            QCOMPARE(SheetValues::parseDate(text, QStringLiteral("M/d/yy"), near),
                     std::optional<QDate>(date));
        QCOMPARE(SheetValues::parseDate(QStringLiteral("05.03.2024"), QStringLiteral("dd.MM.yyyy"), Day),
                 std::optional<QDate>(Day));
        QVERIFY(!SheetValues::parseDate(QStringLiteral("-"), QStringLiteral("M/d/yy"), Day));
        QCOMPARE(SheetValues::dateSerial(QDate(1900, 3, 1)), 61.0);
    }
    // The background saves: every outcome comes back once, in order, on the queue's thread; a file
    // that cannot be written goes to the job's second path, where there is one.
    void saveQueueHandsBackInOrder()
    {
        QList<WorkbookSaveQueue::Outcome> outcomes;
        const auto refusing = [](const WorkbookRecord &record, StagedFile &file, QString *error) {
            if (!file.targetPath().contains(QLatin1String("refused")))
                return WorkbookWriter().write(record, file, error);
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
    void saveQueueHoldsAtMostTwoJobs()
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

private:
    QString write(const WorkbookRecord &record)
    {
        const QString path = m_dir->filePath(QStringLiteral("record.xlsx"));
        QString error;
        if (!WorkbookWriter().write(record, path, &error)) qWarning("%s", qPrintable(error));
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordStore m_table;
};

QTEST_GUILESS_MAIN(TestWorkbookWriter)
#include "tst_workbookwriter.moc"
