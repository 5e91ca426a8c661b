#include <QtTest>

#include "core/common/AppPaths.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/recording/LogFile.h"

namespace
{

const QDate Day(2024, 3, 5);

QDateTime at(const QString &time, const QDate &date = Day)
{
    return QDateTime(date, QTime::fromString(time, time.size() > 8 ? "hh:mm:ss.zzz" : "hh:mm:ss"));
}

// One decoded frame as the decoder hands it on: append, then grow or split.
RecordStore::Growth record(RecordStore &store, int channel, const QString &value, const QDateTime &now,
                           int waitingBytes = 0)
{
    store.appendSample(channel, value, QStringLiteral("V"), now, waitingBytes);
    return store.growOrSplit();
}

} // namespace

class TestRecordStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void channelsFillRowsAtTheirOwnRate();
    void rowTakesIndexAndDateFromItsFirstWriter();
    void sampleTimeNudge_data();
    void sampleTimeNudge();
    void growsTo9999RowsThenAsksForSplit();
    void clearRecordLeavesHeaderAndOneEmptyRow();
    void csvQuoting_data();
    void csvQuoting();
    void csvWriteFailureIsReported();
    void logFileIsDeletedAndCreatedEmpty();
};

void TestRecordStore::channelsFillRowsAtTheirOwnRate()
{
    RecordStore store;
    QSignalSpy inserted(&store, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&store, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&store, &QAbstractItemModel::modelAboutToBeReset);
    for (int i = 0; i < 5; ++i) {
        const QDateTime now = at("10:00:00").addSecs(2 * i);
        QCOMPARE(record(store, 0, QString::number(i), now), RecordStore::Growth::Grew);
        QCOMPARE(record(store, 1, QString::number(10 + i), now.addSecs(1)), RecordStore::Growth::Unchanged);
        if (i % 2 == 1) record(store, 2, QStringLiteral("2.0"), now); // half the rate
    }
    QCOMPARE(store.sampleRows(), 6); // five samples and the empty row being filled
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(store.cell(row, RecordStore::valueColumn(0)), QString::number(row - 1));
        QCOMPARE(store.cell(row, RecordStore::valueColumn(1)), QString::number(9 + row));
        QCOMPARE(store.cell(row, RecordStore::valueColumn(2)).isEmpty(), row > 2);
    }
    // Views follow by inserted rows and changed cells (a row's first writer also sets index and date).
    QCOMPARE(inserted.count(), 5);
    QCOMPARE(changed.count(), 5 * 2 + 5 + 2);
    QCOMPARE(resets.count(), 0);
}

void TestRecordStore::rowTakesIndexAndDateFromItsFirstWriter()
{
    RecordStore store;
    record(store, 4, QStringLiteral("5"), at("23:59:58"));
    QCOMPARE(store.cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(store.cell(1, 1), RecordStore::shortDate(Day));
    // Channel 0 joins row 1 on the next day: the row keeps channel 4's date.
    record(store, 0, QStringLiteral("1"), at("00:00:03", Day.addDays(1)));
    QCOMPARE(store.cell(1, 1), RecordStore::shortDate(Day));
    record(store, 4, QStringLiteral("6"), at("00:00:04", Day.addDays(1)));
    QCOMPARE(store.cell(2, 1), RecordStore::shortDate(Day.addDays(1)));
}

void TestRecordStore::sampleTimeNudge_data()
{
    QTest::addColumn<QStringList>("previousNowWritten");
    QTest::addColumn<int>("waitingBytes");
    QTest::newRow("same second, 47 bytes waiting") << QStringList{"10:00:00", "10:00:00", "10:00:01"} << 47;
    QTest::newRow("48 bytes waiting") << QStringList{"10:00:00", "10:00:00", "10:00:00"} << 48;
    QTest::newRow("next whole second") << QStringList{"10:00:00", "10:00:01.100", "10:00:01"} << 0;
    QTest::newRow("clock went back") << QStringList{"10:00:05", "10:00:03", "10:00:04"} << 0;
    QTest::newRow("same second before midnight") << QStringList{"23:59:59", "23:59:59", "00:00:00"} << 0;
}

void TestRecordStore::sampleTimeNudge()
{
    QFETCH(QStringList, previousNowWritten);
    QFETCH(int, waitingBytes);
    RecordStore store;
    record(store, 3, QStringLiteral("1"), at(previousNowWritten[0]));
    record(store, 3, QStringLiteral("2"), at(previousNowWritten[1]), waitingBytes);
    QCOMPARE(store.cell(2, RecordStore::timeColumn(3)), previousNowWritten[2]);
}

void TestRecordStore::growsTo9999RowsThenAsksForSplit()
{
    RecordStore store;
    RecordStore::Growth growth = RecordStore::Growth::Grew;
    int samples = 0;
    for (; growth == RecordStore::Growth::Grew && samples < 20000; ++samples)
        growth = record(store, 0, QStringLiteral("1"), at("00:00:00").addSecs(samples), 48);
    QCOMPARE(growth, RecordStore::Growth::SplitNeeded);
    QCOMPARE(samples, RecordStore::MaxSampleRows);
    QCOMPARE(store.cell(9999, 0), QStringLiteral("9999"));
    // A caller that does not restart keeps getting SplitNeeded; samples beyond the table are dropped.
    QCOMPARE(record(store, 0, QStringLiteral("2"), at("00:00:00")), RecordStore::Growth::SplitNeeded);
    QCOMPARE(store.nextRow(0), 10000);
}

void TestRecordStore::clearRecordLeavesHeaderAndOneEmptyRow()
{
    RecordStore store;
    record(store, 3, QStringLiteral("7"), at("09:00:00"));
    store.clearRecord({"Ch1", "Ch2", "Pump", "Ch4", "Ch5", "Ch6"});
    QStringList texts;
    for (int row = 0; row < store.gridRowCount(); ++row)
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            texts << store.cell(row, column);
    QCOMPARE(texts,
             QStringList({"Index", "Date", "Time", "Ch1",  "Unit", "Time", "Ch2",  "Unit", "Time", "Pump",
                          "Unit",  "Time", "Ch4",  "Unit", "Time", "Ch5",  "Unit", "Time", "Ch6",  "Unit"}) +
                 QStringList(20, QString()));
    QCOMPARE(store.sampleRows(), 1);
    store.stampRecord(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    QCOMPARE(RecordStore::fileNameForStamp(store.stamp()), QStringLiteral("240305_140709.xlsx"));
}

void TestRecordStore::csvQuoting_data()
{
    QTest::addColumn<QStringList>("fieldAndQuoted");
    QTest::newRow("comma") << QStringList{"Pump, east", "\"Pump, east\""};
    QTest::newRow("quote") << QStringList{"6\" pipe", "\"6\"\" pipe\""};
    QTest::newRow("line feed") << QStringList{"a\nb", "\"a\nb\""};
    QTest::newRow("carriage return") << QStringList{"a\rb", "\"a\rb\""};
}

void TestRecordStore::csvQuoting()
{
    QFETCH(QStringList, fieldAndQuoted);
    QCOMPARE(CsvExport::quoteField(fieldAndQuoted[0]), fieldAndQuoted[1]);
}

void TestRecordStore::csvWriteFailureIsReported()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/rec.csv"));
    QString error;
    QVERIFY(!CsvExport::write(RecordStore(), missing, &error));
    QVERIFY2(error.startsWith(missing + ": ") && error.size() > missing.size() + 2, qPrintable(error));
}

// A new record deletes the log file, by its older name too, and starts it afresh and empty; the
// Start that does it is in the recording tests.
void TestRecordStore::logFileIsDeletedAndCreatedEmpty()
{
    QTemporaryDir dir;
    AppPaths::setRecordsFolderOverride(dir.path());
    QVERIFY(QFile(dir.filePath(QStringLiteral("Data.log"))).open(QIODevice::WriteOnly));
    LogFile log;
    QVERIFY(log.open());
    log.deleteLogFile();
    QVERIFY(!log.isOpen());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    QVERIFY(log.open());
    QCOMPARE(QFileInfo(LogFile::path()).size(), 0);
    AppPaths::setRecordsFolderOverride(QString());
}

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
