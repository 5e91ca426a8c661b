// The journal's format: the lines as the writer writes them, and what a damaged file still gives:
// only its damaged tail is left out, an unreadable first line gives nothing. (That the lines
// rebuild the table they were taken from is the journal tests' and the workbook round trip's;
// any input, and writing again what was read, is the journal fuzzer's.)
#include <QTest>

#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "support/RecordFixture.h"

Q_DECLARE_METATYPE(RecordJournal::Content::Header)

class TestJournalFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestJournalFormat)
#include "tst_journalformat.moc"
