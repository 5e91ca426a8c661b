#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "common/AppPaths.h"
#include "recording/CsvExport.h"
#include "recording/LogFile.h"
#include "recording/RecordStore.h"

namespace
{

const QDate Day(2024, 3, 5);

QDateTime at(const QString &time, const QDate &date = Day)
{
    return QDateTime(date, QTime::fromString(time, time.size() > 8 ? "hh:mm:ss.zzz" : "hh:mm:ss"));
}

std::array<QString, 6> names()
{
    return {QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
            QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")};
}

// One decoded frame as the decoder hands it on: append, then grow or split.
RecordStore::Growth record(RecordStore &store, int channel, const QString &value, const QDateTime &now,
                           int waitingBytes = 0)
{
    store.appendSample(channel, value, QStringLiteral("V"), now, waitingBytes);
    return store.growOrSplit();
}

QStringList rowTexts(const RecordStore &store, int row)
{
    QStringList texts;
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        texts << store.cell(row, column);
    return texts;
}

} // namespace

class TestRecordStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void freshRecordHasHeaderAndOneEmptyRow();
    void sameRateChannelsFillRowsSideBySide();
    void halfRateChannelHasHalfDepth();
    void rowTakesIndexAndDateFromItsFirstWriter();
    void sampleTimeNudge_data();
    void sampleTimeNudge();
    void fiveSamplesLeaveSixRows();
    void growsTo9999RowsThenAsksForSplit();
    void clearRecordEmptiesTableCaptionsAndCounters();
    void channelNamesGoToTheHeader();
    void modelSignalsOnAppendAndGrowth();
    void stampAndFileName();
    void viewportFollowsValidRows();

    void csvQuoting_data();
    void csvQuoting();
    void csvHoldsHeaderAndFilledRows();
    void csvWriteReportsFailure();

    void logFileIsDeletedAndCreatedEmpty();
    void logFileFailureIsSilent();
};

void TestRecordStore::freshRecordHasHeaderAndOneEmptyRow()
{
    RecordStore store;
    store.clearRecord(names());
    QCOMPARE(store.gridRowCount(), 2);
    QCOMPARE(store.sampleRows(), 1);
    QCOMPARE(rowTexts(store, 0),
             QStringList({"Index", "Date", "Time", "Ch1",  "Unit", "Time", "Ch2",  "Unit", "Time", "Ch3",
                          "Unit",  "Time", "Ch4",  "Unit", "Time", "Ch5",  "Unit", "Time", "Ch6",  "Unit"}));
    QCOMPARE(rowTexts(store, 1), QStringList(20, QString()));

    QCOMPARE(store.rowCount(), 1);
    QCOMPARE(store.columnCount(), 20);
    QCOMPARE(store.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Ch1"));
    QCOMPARE(store.headerData(0, Qt::Vertical, Qt::DisplayRole).toInt(), 1);
    QCOMPARE(store.data(store.index(0, 7), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QCOMPARE(store.cell(5, 0), QString());
    QCOMPARE(store.cell(0, 20), QString());
}

void TestRecordStore::sameRateChannelsFillRowsSideBySide()
{
    RecordStore store;
    for (int i = 0; i < 3; ++i) {
        record(store, 0, QString::number(i), at("10:00:00").addSecs(2 * i));
        record(store, 1, QString::number(10 + i), at("10:00:01").addSecs(2 * i));
    }
    QCOMPARE(store.sampleRows(), 4);
    QCOMPARE(store.gridRowCount(), 5);
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(store.cell(row, 0), QStringLiteral("000%1").arg(row));
        QCOMPARE(store.cell(row, RecordStore::valueColumn(0)), QString::number(row - 1));
        QCOMPARE(store.cell(row, RecordStore::valueColumn(1)), QString::number(9 + row));
        QCOMPARE(store.cell(row, RecordStore::unitColumn(1)), QStringLiteral("V"));
    }
    QCOMPARE(store.cell(3, RecordStore::timeColumn(1)), QStringLiteral("10:00:05"));
    QCOMPARE(rowTexts(store, 4), QStringList(20, QString()));
    QCOMPARE(store.nextRow(0), 4);
    QCOMPARE(store.nextRow(1), 4);
}

void TestRecordStore::halfRateChannelHasHalfDepth()
{
    RecordStore store;
    for (int i = 0; i < 6; ++i) {
        record(store, 0, QStringLiteral("1.0"), at("08:00:00").addSecs(2 * i));
        if (i % 2 == 1) record(store, 2, QStringLiteral("2.0"), at("08:00:00").addSecs(2 * i));
    }
    QCOMPARE(store.sampleRows(), 7);
    QCOMPARE(store.nextRow(2), 4);
    for (int row = 1; row <= 6; ++row) {
        QCOMPARE(store.cell(row, RecordStore::valueColumn(0)), QStringLiteral("1.0"));
        QCOMPARE(store.cell(row, RecordStore::valueColumn(2)).isEmpty(), row > 3);
    }
}

void TestRecordStore::rowTakesIndexAndDateFromItsFirstWriter()
{
    const QDate nextDay = Day.addDays(1);
    RecordStore store;
    record(store, 4, QStringLiteral("5"), at("23:59:58"));
    QCOMPARE(store.cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(store.cell(1, 1), RecordStore::shortDate(Day));
    QCOMPARE(store.cell(1, RecordStore::timeColumn(4)), QStringLiteral("23:59:58"));

    // Channel 0 joins row 1 on the next day: the row keeps channel 4's date.
    record(store, 0, QStringLiteral("1"), at("00:00:03", nextDay));
    QCOMPARE(store.cell(1, 1), RecordStore::shortDate(Day));

    record(store, 4, QStringLiteral("6"), at("00:00:04", nextDay));
    QCOMPARE(store.cell(2, 0), QStringLiteral("0002"));
    QCOMPARE(store.cell(2, 1), RecordStore::shortDate(nextDay));
    QCOMPARE(store.cell(2, RecordStore::valueColumn(0)), QString());
}

void TestRecordStore::sampleTimeNudge_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("now");
    QTest::addColumn<int>("waitingBytes");
    QTest::addColumn<QString>("written");

    QTest::newRow("same second, idle input") << "10:00:00"
                                             << "10:00:00" << 0 << "10:00:01";
    QTest::newRow("same second, 47 bytes waiting") << "10:00:00"
                                                   << "10:00:00" << 47 << "10:00:01";
    QTest::newRow("same second, backlog of 48 bytes") << "10:00:00"
                                                      << "10:00:00" << 48 << "10:00:00";
    QTest::newRow("later within the same second") << "10:00:00"
                                                  << "10:00:00.900" << 0 << "10:00:01";
    QTest::newRow("next whole second") << "10:00:00"
                                       << "10:00:01.100" << 0 << "10:00:01";
    QTest::newRow("clock went back") << "10:00:05"
                                     << "10:00:03" << 0 << "10:00:04";
    QTest::newRow("day turned between samples") << "23:59:59"
                                                << "00:00:01" << 0 << "00:00:01";
    QTest::newRow("same second before midnight") << "23:59:59"
                                                 << "23:59:59" << 0 << "00:00:00";
    QTest::newRow("earlier sample nudged past midnight") << "00:00:00"
                                                         << "23:59:59" << 0 << "00:00:00";
}

void TestRecordStore::sampleTimeNudge()
{
    QFETCH(QString, previous);
    QFETCH(QString, now);
    QFETCH(int, waitingBytes);
    QFETCH(QString, written);

    RecordStore store;
    record(store, 3, QStringLiteral("1"), at(previous));
    const QTime returned =
        store.appendSample(3, QStringLiteral("2"), QStringLiteral("V"), at(now), waitingBytes);
    QCOMPARE(store.cell(2, RecordStore::timeColumn(3)), written);
    QCOMPARE(returned, QTime::fromString(written, "hh:mm:ss"));
}

void TestRecordStore::fiveSamplesLeaveSixRows()
{
    RecordStore store;
    for (int i = 0; i < 5; ++i)
        QCOMPARE(record(store, 0, QString::number(i), at("12:00:00").addSecs(i)), RecordStore::Growth::Grew);
    QCOMPARE(store.sampleRows(), 6);
    QCOMPARE(store.gridRowCount(), 7);
    QCOMPARE(store.rowCount(), 6);
    QCOMPARE(store.cell(5, RecordStore::valueColumn(0)), QStringLiteral("4"));
    QCOMPARE(rowTexts(store, 6), QStringList(20, QString()));
    // A sample of another channel fills an existing row and adds none.
    QCOMPARE(record(store, 5, QStringLiteral("9"), at("12:00:09")), RecordStore::Growth::Unchanged);
}

void TestRecordStore::growsTo9999RowsThenAsksForSplit()
{
    RecordStore store;
    const QDateTime start = at("00:00:00");
    int grew = 0;
    int samples = 0;
    RecordStore::Growth growth = RecordStore::Growth::Grew;
    while (growth != RecordStore::Growth::SplitNeeded && samples < 20000) {
        growth = record(store, 0, QStringLiteral("1"), start.addSecs(samples), 48);
        grew += growth == RecordStore::Growth::Grew;
        ++samples;
    }
    QCOMPARE(samples, RecordStore::MaxSampleRows);
    QCOMPARE(grew, RecordStore::MaxSampleRows - 1);
    QCOMPARE(store.sampleRows(), 9999);
    QCOMPARE(store.gridRowCount(), 10000);
    QCOMPARE(store.cell(9999, 0), QStringLiteral("9999"));
    QCOMPARE(store.nextRow(0), 10000);

    // A caller that does not restart keeps getting SplitNeeded; further samples have no row
    // and are dropped instead of written past the table.
    QCOMPARE(record(store, 0, QStringLiteral("2"), start), RecordStore::Growth::SplitNeeded);
    QCOMPARE(store.gridRowCount(), 10000);
    QCOMPARE(store.nextRow(0), 10000);
    QCOMPARE(record(store, 1, QStringLiteral("3"), start), RecordStore::Growth::SplitNeeded);
    QCOMPARE(store.cell(1, RecordStore::valueColumn(1)), QStringLiteral("3"));
}

void TestRecordStore::clearRecordEmptiesTableCaptionsAndCounters()
{
    RecordStore store;
    for (int i = 0; i < 4; ++i)
        record(store, i, QStringLiteral("7"), at("09:00:00").addSecs(i));
    store.setChannelCount(4);
    store.functionCaption[1] = QStringLiteral("DCV");
    store.prefixCaption[1] = QStringLiteral("3");
    store.divisorCaption[1] = QStringLiteral("10");
    store.setCell(0, 0, QStringLiteral("overwritten"));

    QSignalSpy resets(&store, &QAbstractItemModel::modelReset);
    auto newNames = names();
    newNames[2] = QStringLiteral("Pump");
    store.clearRecord(newNames);

    QCOMPARE(resets.count(), 1);
    QCOMPARE(store.gridRowCount(), 2);
    QCOMPARE(store.cell(0, 0), QStringLiteral("Index"));
    QCOMPARE(store.cell(0, RecordStore::valueColumn(2)), QStringLiteral("Pump"));
    QCOMPARE(rowTexts(store, 1), QStringList(20, QString()));
    QCOMPARE(store.functionCaption[1], QString());
    QCOMPARE(store.prefixCaption[1], QString());
    QCOMPARE(store.divisorCaption[1], QString());
    QCOMPARE(store.sampleRows(), 1);
    QCOMPARE(store.nextRow(3), 1);
    QCOMPARE(store.channelCount(), 0);

    record(store, 3, QStringLiteral("8"), at("09:10:00"));
    QCOMPARE(store.cell(1, 0), QStringLiteral("0001"));
}

void TestRecordStore::channelNamesGoToTheHeader()
{
    RecordStore store;
    record(store, 0, QStringLiteral("1"), at("09:00:00"));
    QSignalSpy headers(&store, &QAbstractItemModel::headerDataChanged);
    auto newNames = names();
    newNames[5] = QStringLiteral("Fan");
    store.setChannelNames(newNames);
    QCOMPARE(store.cell(0, 18), QStringLiteral("Fan"));
    QCOMPARE(store.cell(0, 17), QStringLiteral("Time"));
    QCOMPARE(store.cell(1, RecordStore::valueColumn(0)), QStringLiteral("1"));
    QCOMPARE(headers.count(), 1);
    QCOMPARE(headers.at(0).at(0).value<Qt::Orientation>(), Qt::Horizontal);
}

void TestRecordStore::modelSignalsOnAppendAndGrowth()
{
    RecordStore store;
    QAbstractItemModelTester tester(&store, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&store, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&store, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&store, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy layouts(&store, &QAbstractItemModel::layoutAboutToBeChanged);

    store.appendSample(1, QStringLiteral("4.20"), QStringLiteral("mA"), at("10:00:00"), 0);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(changed.count(), 2); // index and date, then the channel's three cells
    const auto channelCells = changed.at(1);
    QCOMPARE(channelCells.at(0).toModelIndex(), store.index(0, 5));
    QCOMPARE(channelCells.at(1).toModelIndex(), store.index(0, 7));
    QCOMPARE(store.data(store.index(0, 6), Qt::DisplayRole).toString(), QStringLiteral("4.20"));

    QCOMPARE(store.growOrSplit(), RecordStore::Growth::Grew);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1);
    QCOMPARE(store.growOrSplit(), RecordStore::Growth::Unchanged);
    QCOMPARE(inserted.count(), 1);

    store.setCell(2, 19, QStringLiteral("x"));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.last().at(0).toModelIndex(), store.index(1, 19));

    QCOMPARE(resets.count(), 0);
    QCOMPARE(layouts.count(), 0);
}

void TestRecordStore::stampAndFileName()
{
    RecordStore store;
    store.stampRecord(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    QCOMPARE(store.stamp(), QStringLiteral("20240305_140709"));
    QCOMPARE(RecordStore::fileNameForStamp(store.stamp()), QStringLiteral("240305_140709.xlsx"));
    QCOMPARE(RecordStore::fileNameForStamp(QString()), QString());
}

void TestRecordStore::viewportFollowsValidRows()
{
    RecordStore store;
    for (int i = 0; i < 8; ++i)
        record(store, 0, QStringLiteral("1"), at("10:00:00").addSecs(i));
    QSignalSpy viewport(&store, &RecordStore::viewportChanged);
    store.setFirstVisibleRow(4);
    store.setFirstVisibleColumn(11);
    QCOMPARE(viewport.count(), 2);
    QCOMPARE(store.firstVisibleRow(), 4);
    QCOMPARE(store.firstVisibleColumn(), 11);

    store.setFirstVisibleRow(0);
    store.setFirstVisibleRow(store.gridRowCount());
    store.setFirstVisibleColumn(20);
    QCOMPARE(viewport.count(), 2);
    QCOMPARE(store.firstVisibleRow(), 4);
    QCOMPARE(store.firstVisibleColumn(), 11);
}

void TestRecordStore::csvQuoting_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "-12.3"
                           << "-12.3";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "Pump, east"
                           << "\"Pump, east\"";
    QTest::newRow("quote") << "6\" pipe"
                           << "\"6\"\" pipe\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("blanks kept") << " x "
                                 << " x ";
}

void TestRecordStore::csvQuoting()
{
    QFETCH(QString, field);
    QFETCH(QString, quoted);
    QCOMPARE(CsvExport::quoteField(field), quoted);
}

void TestRecordStore::csvHoldsHeaderAndFilledRows()
{
    RecordStore store;
    auto channelNames = names();
    channelNames[0] = QStringLiteral("Pump, \"east\"");
    channelNames[1] = QStringLiteral("Wärme");
    store.clearRecord(channelNames);
    record(store, 0, QStringLiteral("-0.5"), at("10:00:00"));
    record(store, 0, QStringLiteral("+OL"), at("10:00:02"));

    const QByteArray csv = CsvExport::toCsv(store);
    const QList<QByteArray> lines = csv.split('\n');
    QCOMPARE(lines.size(), 4); // header, two samples, nothing after the last CRLF
    QCOMPARE(lines.at(3), QByteArray());
    QVERIFY(csv.startsWith("Index,Date,Time,\"Pump, \"\"east\"\"\",Unit,Time,W\xc3\xa4rme,Unit,"));
    QVERIFY(lines.at(0).endsWith("Ch6,Unit\r"));
    const QString date = RecordStore::shortDate(Day);
    const QString expected =
        "0002," + CsvExport::quoteField(date) + ",10:00:02,+OL,V" + QString(15, ',') + '\r';
    QCOMPARE(QString::fromUtf8(lines.at(2)), expected);
    QCOMPARE(csv.count("\r\n"), 3);
    QCOMPARE(csv.count('\n'), 3);
}

void TestRecordStore::csvWriteReportsFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordStore store;
    store.clearRecord(names());
    record(store, 2, QStringLiteral("1"), at("10:00:00"));

    const QString path = dir.filePath(QStringLiteral("rec.csv"));
    QString error = QStringLiteral("unchanged");
    QVERIFY(CsvExport::write(store, path, &error));
    QCOMPARE(error, QStringLiteral("unchanged"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), CsvExport::toCsv(store));

    const QString missing = dir.filePath(QStringLiteral("no/such/folder/rec.csv"));
    QVERIFY(!CsvExport::write(store, missing, &error));
    QVERIFY2(error.startsWith(missing + ": ") && error.size() > missing.size() + 2, qPrintable(error));
    QVERIFY(!QFile::exists(missing));
}

void TestRecordStore::logFileIsDeletedAndCreatedEmpty()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    AppPaths::setRecordsFolderOverride(dir.path());
    const QString logPath = dir.filePath(QStringLiteral("data.log"));
    const QString oldPath = dir.filePath(QStringLiteral("Data.log"));
    QCOMPARE(LogFile::path(), logPath);
    for (const QString &path : {logPath, oldPath}) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("left from an old record");
    }

    LogFile log;
    log.deleteLogFile();
    QVERIFY(!QFile::exists(logPath));
    QVERIFY(!QFile::exists(oldPath));
    log.deleteLogFile(); // nothing to delete is fine

    QVERIFY(log.open());
    QVERIFY(log.isOpen());
    QVERIFY(QFile::exists(logPath));
    QCOMPARE(QFileInfo(logPath).size(), 0);
    log.close();
    QVERIFY(!log.isOpen());
    QCOMPARE(QFileInfo(logPath).size(), 0);

    // A new record deletes the open file and starts it afresh.
    QVERIFY(log.open());
    log.deleteLogFile();
    QVERIFY(!log.isOpen());
    QVERIFY(!QFile::exists(logPath));
    QVERIFY(log.open());
    AppPaths::setRecordsFolderOverride(QString());
}

void TestRecordStore::logFileFailureIsSilent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A plain file where the folder should be: nothing can be created below it.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    AppPaths::setRecordsFolderOverride(blocker + QStringLiteral("/records"));

    LogFile log;
    log.deleteLogFile();
    QVERIFY(!log.open());
    QVERIFY(!log.isOpen());
    log.close();
    AppPaths::setRecordsFolderOverride(QString());
}

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
