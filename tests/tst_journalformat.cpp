// The journal's format: what the writer's lines say is read back into the very table they
// were taken from, and a damaged file gives up only its damaged tail.
#include <QTest>
#include <cmath>

#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "support/RecordFixture.h"

namespace
{

using Names = std::array<QString, 6>;

const Names PlainNames = {QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                          QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")};

// A record taken as the sample recorder takes it, with its journal written alongside as the
// journal writer writes it.
struct LiveRecord {
    explicit LiveRecord(const Names &names = PlainNames)
    {
        store.clearRecord(names);
        store.stampRecord(now);
        RecordJournal::appendHeader(journal, store.stamp());
        RecordJournal::appendChannelNames(journal, names);
    }
    void captions(int channel, const QString &function, const QString &prefix, const QString &divisor)
    {
        const auto k = std::size_t(channel);
        store.functionCaption[k] = function;
        store.prefixCaption[k] = prefix;
        store.divisorCaption[k] = divisor;
        RecordJournal::appendCaptions(journal, channel, function, prefix, divisor);
    }
    // The divisor of the reading: as many decimals as the value shows; an overload's is its own.
    void sample(int channel, const QString &value, const QString &unit)
    {
        const int decimals = value.contains(u'.') ? int(value.size() - value.indexOf(u'.') - 1) : 0;
        const int divisor = value.endsWith(u"OL") ? 1000 : int(std::pow(10, decimals));
        const int row = store.nextRow(channel);
        if (row >= int(divisors.size())) divisors.resize(std::size_t(row + 1));
        divisors[std::size_t(row - 1)][std::size_t(channel)] = divisor;
        if (row == 1) store.setChannelCount(store.channelCount() + 1);
        store.appendSample(channel, value, unit, now, 0);
        if (row == store.sampleRows())
            RecordJournal::appendRowOpened(journal, row, store.cell(row, 0), store.cell(row, 1));
        RecordJournal::appendSample(journal, channel, row, store.cell(row, RecordStore::timeColumn(channel)),
                                    value, unit, divisor);
        store.growOrSplit();
        now = now.addMSecs(700);
    }

    QDateTime now{QDate(2026, 12, 7), QTime(2, 46, 38)};
    RecordStore store;
    QByteArray journal;
    std::vector<std::array<int, 6>> divisors;
};

// Two samples of channel 1, the second with its captions changed.
QByteArray twoSamples()
{
    LiveRecord live;
    live.captions(0, QStringLiteral("DCV"), QStringLiteral("3"), QStringLiteral("1"));
    live.sample(0, QStringLiteral("12"), QStringLiteral("V"));
    live.sample(0, QStringLiteral("13"), QStringLiteral("V"));
    return live.journal;
}

} // namespace

Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(RecordJournal::Content::Header)

class TestJournalFormat : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linesAsWritten()
    {
        QByteArray out;
        RecordJournal::appendHeader(out, QStringLiteral("20261207_024638"));
        RecordJournal::appendSample(out, 2, 17, QStringLiteral("02:46:38"), QStringLiteral("a\tb\\c"),
                                    QStringLiteral("d\ne\rΩ"), 100);
        QCOMPARE(out, QByteArray("VOLTRIX-JOURNAL\t1\t20261207_024638\n"
                                 "S\t2\t17\t02:46:38\ta\\tb\\\\c\td\\ne\\r\xce\xa9\t100\n"));
    }

    void rebuildsTheTableExactly_data()
    {
        QTest::addColumn<Names>("names");
        // channel:value:unit, or "C" channel function prefix divisor for captions
        QTest::addColumn<QStringList>("steps");
        const Names odd = {QStringLiteral("tab\there"),   QStringLiteral("new\nline"),
                           QStringLiteral("back\\slash"), QStringLiteral("cr\rhere"),
                           QStringLiteral("Ärger Ω"),     QString()};
        QTest::newRow("one channel") << PlainNames
                                     << QStringList{"C 0 DCV 3 1", "0:12:V", "0:13:V", "C 0 DCV 2 100",
                                                    "0:1.25:mV"};
        QTest::newRow("overload and empty cells")
            << PlainNames << QStringList{"C 1 ACA 3 10", "1:+OL:A", "1::", "1:-0:A", "1:5.0:"};
        QTest::newRow("rows opened by channel 4")
            << PlainNames << QStringList{"C 3 Hz 3 100", "3:50.01:Hz", "C 0 DCV 3 1", "0:12:V",  "0:13:V",
                                         "3:49.99:Hz",   "0:14:V",     "0:15:V",      "5:1:kOhm"};
        QTest::newRow("escaped names and values")
            << odd << QStringList{"C 4 OHM 4 100", "4:a\tb:k\\Ohm", "4:two\nlines:x\ry", "2:Ä:Ω"};
        QTest::newRow("no sample") << PlainNames << QStringList{};
    }

    void rebuildsTheTableExactly()
    {
        QFETCH(Names, names);
        QFETCH(QStringList, steps);
        LiveRecord live(names);
        int samples = 0;
        for (const QString &step : steps) {
            if (step.startsWith(u"C ")) {
                const QStringList parts = step.split(u' ');
                live.captions(parts.at(1).toInt(), parts.at(2), parts.at(3), parts.at(4));
                continue;
            }
            const int first = int(step.indexOf(u':'));
            const int second = int(step.lastIndexOf(u':'));
            live.sample(step.left(first).toInt(), step.mid(first + 1, second - first - 1),
                        step.mid(second + 1));
            ++samples;
        }

        const RecordJournal::Content content = RecordJournal::read(live.journal);
        QCOMPARE(content.header, RecordJournal::Content::Header::Valid);
        QVERIFY(!content.tailDropped);
        QCOMPARE(content.samples, samples);
        QCOMPARE(content.channelNames, names);
        for (std::size_t row = 0; row + 1 < live.divisors.size(); ++row)
            QCOMPARE(content.divisors.at(row), live.divisors.at(row));
        RecordStore rebuilt;
        RecordJournal::rebuild(content, rebuilt);
        QCOMPARE(recordText(rebuilt), recordText(live.store));
    }

    // A full table: the last row is filled and no empty row follows, as when the record splits.
    void rebuildsAFullTable()
    {
        LiveRecord live;
        live.captions(0, QStringLiteral("DCV"), QStringLiteral("3"), QStringLiteral("1"));
        for (int i = 0; i < RecordStore::MaxSampleRows; ++i)
            live.sample(0, QString::number(i), QStringLiteral("V"));
        QCOMPARE(live.store.sampleRows(), RecordStore::MaxSampleRows);
        const RecordJournal::Content content = RecordJournal::read(live.journal);
        QCOMPARE(content.samples, RecordStore::MaxSampleRows);
        RecordStore rebuilt;
        RecordJournal::rebuild(content, rebuilt);
        QCOMPARE(recordText(rebuilt), recordText(live.store));
        // A sample past the full table is no journal's.
        QByteArray more = live.journal;
        RecordJournal::appendSample(more, 1, RecordStore::MaxSampleRows, QStringLiteral("00:00:00"),
                                    QStringLiteral("1"), QStringLiteral("V"), 1);
        QVERIFY(RecordJournal::read(more).tailDropped);
    }

    void damagedTailIsDropped_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("samples");
        QTest::newRow("half a line") << QByteArray("S\t0\t3\t02:4") << 2;
        QTest::newRow("half a line ending in a tab") << QByteArray("S\t0\t3\t02:46:40\t14\t") << 2;
        QTest::newRow("garbage, then good lines")
            << QByteArray("\x01\xff garbage\nS\t0\t3\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("empty line") << QByteArray("\nS\t0\t3\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("a row skipped") << QByteArray("S\t0\t4\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("a row twice") << QByteArray("S\t0\t2\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("a channel out of range") << QByteArray("S\t6\t1\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("a field too many") << QByteArray("S\t0\t3\t02:46:40\t14\tV\t1\tx\n") << 2;
        QTest::newRow("a divisor that is no number") << QByteArray("S\t0\t3\t02:46:40\t14\tV\t-1\n") << 2;
        QTest::newRow("a bad escape") << QByteArray("S\t0\t3\t02:46:40\t1\\x\tV\t1\n") << 2;
        QTest::newRow("a lone backslash") << QByteArray("S\t0\t3\t02:46:40\t14\tV\\\t1\n") << 2;
        QTest::newRow("an opened row that is not the newest") << QByteArray("R\t1\t0001\tx\n") << 2;
        QTest::newRow("an unknown kind") << QByteArray("X\t1\n") << 2;
        QTest::newRow("a signed row") << QByteArray("S\t0\t+3\t02:46:40\t14\tV\t1\n") << 2;
        QTest::newRow("good, then half a line") << QByteArray("S\t0\t3\t02:46:40\t14\tV\t1\nR\t4\t00") << 3;
    }

    void damagedTailIsDropped()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, samples);
        const RecordJournal::Content content = RecordJournal::read(QByteArray(twoSamples() + tail));
        QCOMPARE(content.header, RecordJournal::Content::Header::Valid);
        QVERIFY(content.tailDropped);
        QCOMPARE(content.samples, samples);
        QCOMPARE(content.rows.at(1).at(3), QStringLiteral("13"));
        QCOMPARE(content.stamp, QStringLiteral("20261207_024638"));
    }

    void unreadableFirstLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<RecordJournal::Content::Header>("header");
        const QByteArray rest = twoSamples().mid(twoSamples().indexOf('\n'));
        QTest::newRow("empty file") << QByteArray() << RecordJournal::Content::Header::Missing;
        QTest::newRow("half a first line")
            << QByteArray("VOLTRIX-JOUR") << RecordJournal::Content::Header::Missing;
        QTest::newRow("wrong magic") << QByteArray("OTHER-JOURNAL\t1\t20261207_024638" + rest)
                                     << RecordJournal::Content::Header::Foreign;
        QTest::newRow("newer version") << QByteArray("VOLTRIX-JOURNAL\t2\t20261207_024638" + rest)
                                       << RecordJournal::Content::Header::Foreign;
        QTest::newRow("no stamp") << QByteArray("VOLTRIX-JOURNAL\t1\t" + rest)
                                  << RecordJournal::Content::Header::Foreign;
        QTest::newRow("a damaged stamp") << QByteArray("VOLTRIX-JOURNAL\t1\t20261207-024638" + rest)
                                         << RecordJournal::Content::Header::Foreign;
    }

    void unreadableFirstLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(RecordJournal::Content::Header, header);
        const RecordJournal::Content content = RecordJournal::read(bytes);
        QCOMPARE(content.header, header);
        QCOMPARE(content.samples, 0);
    }
};

QTEST_GUILESS_MAIN(TestJournalFormat)
#include "tst_journalformat.moc"
