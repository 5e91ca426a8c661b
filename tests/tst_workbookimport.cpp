#include <QtTest>

#include "core/workbook/SheetDates.h"
#include "core/workbook/WorkbookImport.h"
#include "support/SheetCellMaker.h"

namespace
{

using Kind = SheetCell::NumberFormat;

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

class TestWorkbookImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsTheRecordAsExported();
    void cellsBecomeTableTexts_data();
    void cellsBecomeTableTexts();
    void lastChannelFollowsTheUsedColumns_data();
    void lastChannelFollowsTheUsedColumns();
    void channelsListedByTheirFunction();
    void sampleRows_data();
    void sampleRows();
};

// Only columns A..T are read, the main-channel block tells the channel it was saved with, and a
// channel that sent nothing still heads its column.
void TestWorkbookImport::readsTheRecordAsExported()
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
    QCOMPARE(
        (QStringList{first.average, first.unit, first.maxTime, first.maximum, first.minTime, first.minimum}),
        (QStringList{"12.5", "mV", "14:07:10", "+OL", "14:07:09", "-3.25"}));
    QVERIFY(!record.channels[1].present);
    QCOMPARE(record.channels[1].name, QStringLiteral("Ch2"));
    const ImportedRow expected{
        "0001", RecordStore::shortDate(RecordDay), "14:07:09", "-3.25", "mV", "", "", "", "08:00:00", "0.7",
        "KΩ"};
    QCOMPARE(record.rows, std::vector<ImportedRow>{expected});
}

void TestWorkbookImport::cellsBecomeTableTexts_data()
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
    QTest::newRow("value with two places in its format") << value << number(1.2, Kind::General, 2) << "1.20";
    QTest::newRow("value with none in its format") << value << number(12, Kind::General, 0) << "12";
    QTest::newRow("zero with its sign in its format") << value << number(0, Kind::General, 0, u'-') << "-0";
    QTest::newRow("rounded to the format's places") << value << number(0.125, Kind::General, 2) << "0.13";
    QTest::newRow("value 12.34") << value << number(12.34) << "12.34";
    QTest::newRow("value rounded to five places") << value << number(1.234567) << "1.23457";
    QTest::newRow("value kept as numeric text") << value << text("5") << "5.0";
    QTest::newRow("overload") << value << text("-OL") << "-OL";
    QTest::newRow("empty value") << value << SheetCell() << "";
    QTest::newRow("unit") << unit << text("mV") << "mV";
    QTest::newRow("unit as a number") << unit << number(0.1) << "0.1";
}

void TestWorkbookImport::cellsBecomeTableTexts()
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

void TestWorkbookImport::lastChannelFollowsTheUsedColumns_data()
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

void TestWorkbookImport::lastChannelFollowsTheUsedColumns()
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
void TestWorkbookImport::channelsListedByTheirFunction()
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
    QCOMPARE((QStringList{channel.average, channel.unit, channel.maxTime, channel.maximum, channel.maxUnit,
                          channel.minTime, channel.minimum, channel.minUnit}),
             QStringList(8));
    QCOMPARE(record.rows[0][RecordStore::timeColumn(3)], QString());
}

// Opened through the reader: a sheet of more rows than a record holds loads its first 9999 and
// says so; a stray cell far below counts as one row, not as a million.
void TestWorkbookImport::sampleRows_data()
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

void TestWorkbookImport::sampleRows()
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

QTEST_GUILESS_MAIN(TestWorkbookImport)
#include "tst_workbookimport.moc"
