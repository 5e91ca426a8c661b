// The record's table, its CSV and its journal's format.
#include <QtTest>

#include "core/record/CsvExport.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "support/RecordFixture.h"

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

Q_DECLARE_METATYPE(RecordJournal::Content::Header)

class TestRecordStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Each channel fills rows at its own rate; a row takes index and date from its first writer.
    // Views follow by inserted rows and changed cells, never a reset.
    void channelsFillRowsAtTheirOwnRate()
    {
        RecordStore store;
        QSignalSpy inserted(&store, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&store, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(&store, &QAbstractItemModel::modelAboutToBeReset);
        for (int i = 0; i < 5; ++i) {
            const QDateTime now = at("23:59:51").addSecs(2 * i);
            QCOMPARE(record(store, 1, QString::number(i), now), RecordStore::Growth::Grew);
            QCOMPARE(record(store, 0, QString::number(10 + i), now.addSecs(1)),
                     RecordStore::Growth::Unchanged);
            if (i % 2 == 1) record(store, 2, QStringLiteral("2.0"), now); // half the rate
        }
        QCOMPARE(inserted.count(), 5);
        QCOMPARE(changed.count(), 5 * 2 + 5 + 2);
        QCOMPARE(resets.count(), 0);
        // Row 5's second writer comes on the next day: the row keeps its first writer's date (D).
        QCOMPARE(recordText(store).mid(1, 6).join(u'\n').replace(RecordStore::shortDate(Day), "D"),
                 QStringLiteral("0001|D|23:59:52|10|V|23:59:51|0|V|23:59:53|2.0|V|||||||||\n"
                                "0002|D|23:59:54|11|V|23:59:53|1|V|23:59:57|2.0|V|||||||||\n"
                                "0003|D|23:59:56|12|V|23:59:55|2|V||||||||||||\n"
                                "0004|D|23:59:58|13|V|23:59:57|3|V||||||||||||\n"
                                "0005|D|00:00:00|14|V|23:59:59|4|V||||||||||||\n"
                                "|||||||||||||||||||"));
    }
    void sampleTimeNudge_data()
    {
        QTest::addColumn<QStringList>("previousNowWritten");
        QTest::addColumn<int>("waitingBytes");
        QTest::newRow("same second, 47 bytes waiting")
            << QStringList{"10:00:00", "10:00:00", "10:00:01"} << 47;
        QTest::newRow("48 bytes waiting") << QStringList{"10:00:00", "10:00:00", "10:00:00"} << 48;
        QTest::newRow("next whole second") << QStringList{"10:00:00", "10:00:01.100", "10:00:01"} << 0;
        QTest::newRow("clock went back") << QStringList{"10:00:05", "10:00:03", "10:00:04"} << 0;
        QTest::newRow("same second before midnight") << QStringList{"23:59:59", "23:59:59", "00:00:00"} << 0;
    }
    void sampleTimeNudge()
    {
        QFETCH(QStringList, previousNowWritten);
        QFETCH(int, waitingBytes);
        RecordStore store;
        record(store, 3, QStringLiteral("1"), at(previousNowWritten[0]));
        record(store, 3, QStringLiteral("2"), at(previousNowWritten[1]), waitingBytes);
        QCOMPARE(store.cell(2, RecordStore::timeColumn(3)), previousNowWritten[2]);
    }
    void clearRecordLeavesHeaderAndOneEmptyRow()
    {
        RecordStore store;
        record(store, 3, QStringLiteral("7"), at("09:00:00"));
        store.clearRecord({"Ch1", "Ch2", "Pump", "Ch4", "Ch5", "Ch6"});
        store.stampRecord(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        QCOMPARE(recordText(store).mid(0, 3),
                 QStringList({"Index|Date|Time|Ch1|Unit|Time|Ch2|Unit|Time|Pump|Unit|Time|Ch4|Unit|Time|Ch5|"
                              "Unit|Time|Ch6|Unit",
                              "|||||||||||||||||||", "sampleRows 1 channels 0"}));
        QCOMPARE(RecordStore::fileNameForStamp(store.stamp()), QStringLiteral("240305_140709.xlsx"));
    }
    // The CSV file: the header row, RFC 4180 quoting, CRLF line ends, UTF-8, and no line for the
    // empty row kept ready at the end.
    void csv()
    {
        RecordStore store;
        store.clearRecord({"Ch1", "Pump, \"east\"", "a\nb", "Ω", "", "Ch6"});
        record(store, 0, QStringLiteral("-1.20"), at("09:00:00"));
        record(store, 1, QStringLiteral("+OL"), at("09:00:01"));
        record(store, 0, QStringLiteral("3"), at("09:00:02"));
        QCOMPARE(CsvExport::toCsv(store).replace(RecordStore::shortDate(Day).toUtf8(), "D"),
                 QByteArray("Index,Date,Time,Ch1,Unit,Time,\"Pump, \"\"east\"\"\",Unit,Time,\"a\nb\",Unit,"
                            "Time,\xce\xa9,Unit,Time,,Unit,Time,Ch6,Unit\r\n"
                            "0001,D,09:00:00,-1.20,V,09:00:01,+OL,V,,,,,,,,,,,,\r\n"
                            "0002,D,09:00:02,3,V,,,,,,,,,,,,,,,\r\n"));
        const QString missing = QStringLiteral("/dev/null/no/such/folder/rec.csv");
        QString error;
        QVERIFY(!CsvExport::write(RecordStore(), missing, &error));
        QVERIFY2(error.startsWith(missing + ": ") && error.size() > missing.size() + 2, qPrintable(error));
    }
    // The journal's format: the lines as the writer writes them, and what a damaged file still
    // gives: only its damaged tail is left out, an unreadable first line gives nothing. (That the
    // lines rebuild the table they were taken from is the recording tests' and the workbook round
    // trip's; any input, and writing again what was read, is the journal fuzzer's.)
    void linesAsWritten()
    {
        QByteArray out;
        RecordJournal::appendHeader(out, QStringLiteral("20261207_024638"));
        RecordJournal::appendChannelNames(
            out, {"tab\there", "new\nline", "back\\slash", "cr\rhere", QStringLiteral("Ärger Ω"), QString()});
        RecordJournal::appendCaptions(out, 4, QStringLiteral("OHM"), QStringLiteral("4"),
                                      QStringLiteral("100"));
        RecordJournal::appendRowOpened(out, 17, QStringLiteral("0017"), QStringLiteral("07/12/2026"));
        RecordJournal::appendSample(out, 2, 17, QStringLiteral("02:46:38"), QStringLiteral("a\tb\\c"),
                                    QStringLiteral("d\ne\rΩ"), 100);
        QCOMPARE(out,
                 QByteArray("VOLTRIX-JOURNAL\t1\t20261207_024638\n"
                            "N\ttab\\there\tnew\\nline\tback\\\\slash\tcr\\rhere\t\xc3\x84rger \xce\xa9\t\n"
                            "C\t4\tOHM\t4\t100\n"
                            "R\t17\t0017\t07/12/2026\n"
                            "S\t2\t17\t02:46:38\ta\\tb\\\\c\td\\ne\\r\xce\xa9\t100\n"));
    }
    void damagedFiles_data()
    {
        using Header = RecordJournal::Content::Header;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Header>("header");
        QTest::addColumn<int>("samples");
        const QByteArray two = countingJournal(2, 1, 12);
        const QByteArray rest = two.mid(two.indexOf('\n'));
        const auto tail = [&two](const char *name, const QByteArray &bytes, int samples = 2) {
            QTest::newRow(name) << QByteArray(two + bytes) << Header::Valid << samples;
        };
        tail("half a line", "S\t0\t3\t02:4");
        tail("half a line ending in a tab", "S\t0\t3\t02:46:40\t14\t");
        tail("garbage, then good lines", "\x01\xff garbage\nS\t0\t3\t02:46:40\t14\tV\t1\n");
        tail("empty line", "\nS\t0\t3\t02:46:40\t14\tV\t1\n");
        tail("a row skipped", "S\t0\t4\t02:46:40\t14\tV\t1\n");
        tail("a row twice", "S\t0\t2\t02:46:40\t14\tV\t1\n");
        tail("a channel out of range", "S\t6\t1\t02:46:40\t14\tV\t1\n");
        tail("a field too many", "S\t0\t3\t02:46:40\t14\tV\t1\tx\n");
        tail("a divisor that is no number", "S\t0\t3\t02:46:40\t14\tV\t-1\n");
        tail("a bad escape", "S\t0\t3\t02:46:40\t1\\x\tV\t1\n");
        tail("a lone backslash", "S\t0\t3\t02:46:40\t14\tV\\\t1\n");
        tail("an opened row that is not the newest", "R\t1\t0001\tx\n");
        tail("an unknown kind", "X\t1\n");
        tail("a signed row", "S\t0\t+3\t02:46:40\t14\tV\t1\n");
        tail("good, then half a line", "S\t0\t3\t02:46:40\t14\tV\t1\nR\t4\t00", 3);
        QByteArray past =
            countingJournal(RecordStore::MaxSampleRows, 1, 12); // the last row filled, as at a split
        RecordJournal::appendSample(past, 0, RecordStore::MaxSampleRows + 1, QStringLiteral("00:00:00"),
                                    QStringLiteral("1"), QStringLiteral("V"), 1);
        QTest::newRow("a sample past a full table") << past << Header::Valid << RecordStore::MaxSampleRows;
        QTest::newRow("empty file") << QByteArray() << Header::Missing << 0;
        QTest::newRow("half a first line") << QByteArray("VOLTRIX-JOUR") << Header::Missing << 0;
        QTest::newRow("wrong magic") << QByteArray("OTHER-JOURNAL\t1\t20261207_024638" + rest)
                                     << Header::Foreign << 0;
        QTest::newRow("newer version")
            << QByteArray("VOLTRIX-JOURNAL\t2\t20261207_024638" + rest) << Header::Foreign << 0;
        QTest::newRow("no stamp") << QByteArray("VOLTRIX-JOURNAL\t1\t" + rest) << Header::Foreign << 0;
        QTest::newRow("a damaged stamp")
            << QByteArray("VOLTRIX-JOURNAL\t1\t20261207-024638" + rest) << Header::Foreign << 0;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(RecordJournal::Content::Header, header);
        QFETCH(int, samples);
        const RecordJournal::Content content = RecordJournal::read(bytes);
        QCOMPARE(content.header, header);
        QCOMPARE(content.samples, samples);
        if (header != RecordJournal::Content::Header::Valid) return;
        QVERIFY(content.tailDropped);
        QCOMPARE(content.rows.at(1).at(3), QStringLiteral("13"));
        QCOMPARE(content.stamp, QStringLiteral("20261207_024638"));
    }
};

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_recordstore.moc"
