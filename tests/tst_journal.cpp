// The journal of the open record on a whole session: when it is written, when it goes, what a
// write failure does, and how a record that a crash left behind comes back at start-up.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "core/commands/OpenRecord.h"
#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/workbook/WorkbookWriter.h"
#include "core/workbook/XlsxReader.h"
#include "support/RecordFixture.h"
#include "support/RecordingSession.h"

namespace
{

// A session whose records are saved by the program's own workbook saver.
struct JournalSession : RecordingSession {
    JournalSession() { session.setRecordSaver(nullptr); }

    RecordingControl &rec() { return session.recording(); }
    RecordStore &record() { return session.record(); }
    QString folder() const { return AppPaths::recordsFolder(); }
    QString journalPath() { return QDir(folder()).filePath(record().stamp() + QStringLiteral(".journal")); }
    QString recordFileName() { return RecordStore::fileNameForStamp(record().stamp()); }
    // A reading of `channel`: DCV in V by default.
    void reading(int channel, int digits, int function = 0, int prefix = 3,
                 int decimalCode = FrameEncoder::Divisor1)
    {
        feed(FrameEncoder::encodeReading({channel, 0, prefix, function, decimalCode, false}, digits));
    }
    void overload(int channel, int function, int prefix, int decimalCode)
    {
        feed(FrameEncoder::encodeOverload({channel, 0, prefix, function, decimalCode, false}));
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int samplesOnDisk(const QString &path)
{
    return RecordJournal::read(fileBytes(path)).samples;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Everything of the table that a journal must bring back, one text per row and per counter.
QStringList tableOf(const RecordStore &record)
{
    QStringList out;
    for (int row = 0; row < record.gridRowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            cells << record.cell(row, column);
        out << cells.join(u'|');
    }
    out << QStringLiteral("sampleRows %1 channels %2").arg(record.sampleRows()).arg(record.channelCount());
    for (int k = 0; k < 6; ++k)
        out << QStringLiteral("channel %1: next %2, %3 %4 %5")
                   .arg(k)
                   .arg(record.nextRow(k))
                   .arg(record.functionCaption[std::size_t(k)], record.prefixCaption[std::size_t(k)],
                        record.divisorCaption[std::size_t(k)]);
    out << record.stamp();
    return out;
}

// Each channel's average, maximum and minimum as the statistics hold them.
QStringList statisticsOf(const Statistics &statistics)
{
    QStringList out;
    for (int k = 0; k < 6; ++k) {
        const ChannelStatistics &figures = statistics.channel(k);
        out << QStringLiteral("%1: %2 samples, sum %3 in %4, average %5")
                   .arg(k)
                   .arg(figures.count)
                   .arg(figures.sum)
                   .arg(figures.sumPrefix)
                   .arg(figures.average);
        for (const StatExtreme &extreme : {figures.maximum, figures.minimum})
            out << QStringLiteral("%1 %2 %3 row %4 value %5 prefix %6 %7")
                       .arg(extreme.text, extreme.unit, extreme.time)
                       .arg(extreme.row)
                       .arg(extreme.value)
                       .arg(extreme.prefix)
                       .arg(extreme.mark);
    }
    return out;
}

// Saves nothing: the disk is full.
struct FullDiskSaver final : RecordSaver {
    bool autoSave(QString *error) override
    {
        *error = QStringLiteral("disk full");
        return false;
    }
    bool saveDataCommand() override { return false; }
};

// A record that a crash left behind: its journal as it was on disk, and its table.
struct CrashedRecord {
    QString stamp;
    QByteArray journal;
    QStringList table;
    QStringList values; // channel 1
    QStringList statistics;
    QString fileName() const { return RecordStore::fileNameForStamp(stamp); }
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

    CrashedRecord m_first;
    CrashedRecord m_second;

    // Puts the crashed records' journals into the session's records folder.
    static void leaveJournals(JournalSession &s, std::initializer_list<const CrashedRecord *> records)
    {
        for (const CrashedRecord *record : records)
            QVERIFY(writeFile(QDir(s.folder()).filePath(record->stamp + QStringLiteral(".journal")),
                              record->journal));
    }

private Q_SLOTS:
    // The journals two records of a session leave when the program dies while each is paused.
    void initTestCase()
    {
        JournalSession s;
        s.start();
        s.reading(0, 12);
        s.reading(3, 50, 3, 3, FrameEncoder::Divisor10); // ACA
        s.clock.advance(1000);
        s.reading(0, 1250, 0, 2);                     // mV: the prefix caption changes
        s.overload(3, 3, 3, FrameEncoder::Divisor10); // not in the top range: not counted
        s.reading(3, 51, 3, 3, FrameEncoder::Divisor10);
        s.overload(0, 0, 3, FrameEncoder::Divisor1); // in the top range: the maximum
        s.reading(0, 7, 0, 3);
        s.reading(3, 52, 3, 3, FrameEncoder::Divisor10);
        s.rec().pause();
        m_first = {s.record().stamp(), fileBytes(s.journalPath()), tableOf(s.record()),
                   tableValues(s.record(), 0), statisticsOf(s.session.statistics())};
        s.rec().stop();

        s.clock.advance(2000);
        s.start(); // No to saving the first: its journal goes, the bytes above stay
        for (int i = 0; i < 12; ++i) {
            s.reading(i % 2 == 0 ? 0 : 5, 100 + i);
            s.clock.advance(400);
        }
        s.rec().pause();
        m_second = {s.record().stamp(), fileBytes(s.journalPath()), tableOf(s.record()),
                    tableValues(s.record(), 0), statisticsOf(s.session.statistics())};
        QVERIFY(m_first.stamp != m_second.stamp);
        QCOMPARE(RecordJournal::read(m_first.journal).samples, 8);
        QVERIFY2(m_first.statistics.at(1).startsWith(u"+OL V"),
                 qPrintable(m_first.statistics.at(1))); // the maximum
        QCOMPARE(RecordJournal::read(m_second.journal).samples, 12);
    }

    // From Start on, the samples reach the file in bursts: with the first sample after the
    // interval, or by the timer at the latest; Pause and Stop write everything through.
    void journalFollowsTheRecord()
    {
        JournalSession s;
        s.start();
        const QString path = s.journalPath();
        const RecordJournal::Content opened = RecordJournal::read(fileBytes(path));
        QCOMPARE(opened.header, RecordJournal::Content::Header::Valid);
        QCOMPARE(opened.stamp, s.record().stamp());
        QCOMPARE(opened.channelNames.at(0), QStringLiteral("Ch1"));
        QCOMPARE(s.session.journal().currentPath(), path);

        s.reading(0, 12);
        QCOMPARE(s.record().nextRow(0), 2);
        QCOMPARE(samplesOnDisk(path), 0);
        s.clock.advance(JournalWriter::FlushIntervalMs);
        s.reading(0, 13);
        QCOMPARE(samplesOnDisk(path), 2);

        s.reading(0, 14);
        QCOMPARE(samplesOnDisk(path), 2);
        QTRY_COMPARE_WITH_TIMEOUT(samplesOnDisk(path), 3, 1000);

        s.reading(0, 15);
        s.rec().pause();
        QCOMPARE(samplesOnDisk(path), 4);
        s.rec().run(); // resume: the same record and journal
        s.reading(0, 16);
        s.rec().stop();
        QCOMPARE(samplesOnDisk(path), 5);
        QCOMPARE(s.session.journal().currentPath(), path);
        RecordStore rebuilt;
        RecordJournal::rebuild(RecordJournal::read(fileBytes(path)), rebuilt);
        QCOMPARE(tableOf(rebuilt), tableOf(s.record()));
    }

    // A record that got no sample leaves no journal.
    void emptyRecordLeavesNoJournal()
    {
        JournalSession s;
        s.start();
        const QString path = s.journalPath();
        QVERIFY(QFileInfo::exists(path));
        s.rec().stop();
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));
    }

    void journalGoesWithTheRecord_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Save Data") << "stop, Save Data" << false;
        QTest::newRow("Save Data as CSV") << "stop, Save Data csv" << true;
        QTest::newRow("Save Data failing") << "stop, Save Data nowhere" << true;
        QTest::newRow("automatic save") << "function change" << false;
        QTest::newRow("Clear record") << "stop, Clear" << false;
        QTest::newRow("Clear record while recording") << "Clear" << false;
        QTest::newRow("No at a new Start") << "stop, Start" << false;
        QTest::newRow("Yes at a new Start") << "stop, Yes, Start" << false;
        QTest::newRow("No when closing") << "close" << false;
        QTest::newRow("Yes when closing, saving fails") << "close nowhere" << true;
        QTest::newRow("Open") << "stop, Open" << false;
        QTest::newRow("Stop") << "stop" << true;
    }

    void journalGoesWithTheRecord()
    {
        QFETCH(QString, ending);
        QFETCH(bool, kept);
        JournalSession s;
        s.start();
        s.reading(0, 12);
        s.reading(3, 7);
        const QString path = s.journalPath();
        const QString fileName = s.recordFileName();
        const QString saved = QDir(s.folder()).filePath(QStringLiteral("saved.xlsx"));
        const QString nowhere = QDir(s.folder()).filePath(QStringLiteral("no/such/folder/saved.xlsx"));
        s.clock.advance(1000); // a record started anew gets a stamp of its own
        for (const QString &step : ending.split(QStringLiteral(", "))) {
            if (step == u"stop") {
                s.rec().stop();
            } else if (step == u"Yes") {
                s.prompts.queueAnswer(Prompts::Answer::Yes);
                s.prompts.queueFileName(saved);
            } else if (step == u"Save Data") {
                s.prompts.queueFileName(saved);
                QVERIFY(s.session.workbookSaver().saveDataCommand());
            } else if (step == u"Save Data csv") {
                s.prompts.queueFileName(QDir(s.folder()).filePath(QStringLiteral("saved.csv")));
                QVERIFY(s.session.workbookSaver().saveDataCommand());
            } else if (step == u"Save Data nowhere") {
                s.prompts.queueFileName(nowhere);
                QVERIFY(!s.session.workbookSaver().saveDataCommand());
            } else if (step == u"function change") {
                s.reading(0, 12, 1); // ACV: saved as yymmdd_hhnnss.xlsx, and a new record begins
                s.session.workbookSaver().waitForSaves();
                QVERIFY(QFileInfo::exists(QDir(s.folder()).filePath(fileName)));
                QVERIFY(s.rec().status().running());
            } else if (step == u"Clear") {
                if (s.rec().status().running())
                    s.prompts.queueAnswer(Prompts::Answer::Yes); // "Clear record!"
                s.rec().clearCommand();                          // and No to saving it
            } else if (step == u"Start") {
                s.start();
                QVERIFY(s.rec().status().running());
            } else if (step == u"close") {
                QVERIFY(s.rec().confirmClose());
            } else if (step == u"close nowhere") {
                s.prompts.queueAnswer(Prompts::Answer::Yes);
                s.prompts.queueFileName(nowhere);
                QVERIFY(!s.rec().confirmClose());
            } else if (step == u"Open") {
                s.session.openRecord().run(); // the file dialog is cancelled: the table is emptied
            } else {
                QFAIL(qPrintable(step));
            }
        }
        QCOMPARE(QFileInfo::exists(path), kept);
        QCOMPARE(QFileInfo::exists(path + QStringLiteral(".lock")), kept);
        if (kept) QCOMPARE(samplesOnDisk(path), 2);
        // A record begun afterwards has a journal of its own.
        if (s.rec().status().running()) QVERIFY(s.session.journal().currentPath() != path);
    }

    // What comes after a save made while recording is in no workbook: the journal stays until
    // the record is saved once it has stopped.
    void saveWhileRecordingKeepsTheJournal()
    {
        JournalSession s;
        s.start();
        s.reading(0, 12);
        const QString path = s.journalPath();
        const QString saved = QDir(s.folder()).filePath(QStringLiteral("saved.xlsx"));
        s.prompts.queueFileName(saved);
        QVERIFY(s.session.workbookSaver().saveDataCommand());
        QVERIFY(QFileInfo::exists(path));
        s.reading(0, 13);
        s.rec().pause();
        QCOMPARE(samplesOnDisk(path), 2);
        s.prompts.queueFileName(saved + QStringLiteral("2.xlsx"));
        QVERIFY(s.session.workbookSaver().saveDataCommand());
        QVERIFY(QFileInfo::exists(path));
        s.rec().stop();
        s.prompts.queueFileName(saved + QStringLiteral("3.xlsx"));
        QVERIFY(s.session.workbookSaver().saveDataCommand());
        QVERIFY(!QFileInfo::exists(path));
    }

    // A records folder that cannot take the journal is told once; the recording goes on.
    void writeFailureIsToldOnce()
    {
        JournalSession s;
        const QString blocker = QDir(s.folder()).filePath(QStringLiteral("a-file"));
        QVERIFY(writeFile(blocker, "not a folder"));
        AppPaths::setRecordsFolderOverride(QDir(blocker).filePath(QStringLiteral("records")));
        s.start();
        QVERIFY(s.rec().status().running());
        for (int i = 0; i < 5; ++i) {
            s.reading(0, 12 + i);
            s.clock.advance(JournalWriter::FlushIntervalMs);
        }
        s.rec().pause();
        s.rec().run();
        s.reading(0, 20);
        QCoreApplication::processEvents();

        QCOMPARE(s.record().nextRow(0), 7);
        QVERIFY(s.rec().status().running());
        const QString expected = QDir::toNativeSeparators(s.journalPath());
        QCOMPARE(s.prompts.calls().size(), 1);
        const ScriptedPrompts::Call told = s.prompts.lastCall();
        QVERIFY2(told.text.startsWith(QStringLiteral("The journal ") + expected +
                                      QStringLiteral(" could not be "
                                                     "written (")),
                 qPrintable(told.text));
        QVERIFY2(told.text.endsWith(QStringLiteral("). The recording goes on, but this record cannot be "
                                                   "recovered if Voltrix ends unexpectedly.")),
                 qPrintable(told.text));
        QCOMPARE(told.title, QStringLiteral("Voltrix"));
        QVERIFY(told.buttons == Prompts::Buttons::Ok);
        QVERIFY(told.icon == Prompts::Icon::Warning);
    }

    void recoveryQuestion()
    {
        QCOMPARE(RecordRecovery::questionText(QStringLiteral("261207_024638.xlsx")),
                 QStringLiteral("The record 261207_024638.xlsx was not saved when Voltrix last ended. "
                                "Recover it?"));
    }

    // Yes to each: every record is rebuilt exactly and saved under its own name; the last one
    // stays in the table. A journal without a sample just goes, and a damaged tail is left out.
    void yesRecoversEachRecord()
    {
        JournalSession s;
        leaveJournals(s, {&m_first});
        QByteArray damaged = m_second.journal + "S\t0\t7\t09:3";
        QVERIFY(writeFile(QDir(s.folder()).filePath(m_second.stamp + QStringLiteral(".journal")), damaged));
        QByteArray headerOnly;
        RecordJournal::appendHeader(headerOnly, QStringLiteral("20000101_000000"));
        QVERIFY(writeFile(QDir(s.folder()).filePath(QStringLiteral("20000101_000000.journal")), headerOnly));
        QVERIFY(writeFile(QDir(s.folder()).filePath(QStringLiteral("20000102_000000.journal.discarded")),
                          m_first.journal));
        s.prompts.queueAnswer(Prompts::Answer::Yes);
        s.prompts.queueAnswer(Prompts::Answer::Yes);
        QSignalSpy recovered(&s.session.recovery(), &RecordRecovery::recordRecovered);

        s.session.recovery().recoverAll(RecordRecovery::Asking::Ask);

        s.session.workbookSaver().waitForSaves();

        QCOMPARE(s.prompts.calls().size(), 2);
        for (int i = 0; i < 2; ++i) {
            const ScriptedPrompts::Call asked = s.prompts.calls().at(i);
            QCOMPARE(asked.text, RecordRecovery::questionText((i == 0 ? m_first : m_second).fileName()));
            QCOMPARE(asked.title, QStringLiteral("Voltrix"));
            QVERIFY(asked.buttons == Prompts::Buttons::YesNo);
            QVERIFY(asked.icon == Prompts::Icon::Question);
        }
        QCOMPARE(tableOf(s.record()), m_second.table);
        QCOMPARE(statisticsOf(s.session.statistics()), m_second.statistics);
        QCOMPARE(s.session.monitor().file, m_second.fileName());
        QCOMPARE(s.session.monitor().channelEntries, QStringList({"1_Ch1", "6_Ch6"}));
        const QDir folder(s.folder());
        QCOMPARE(recovered.size(), 2);
        for (const CrashedRecord *record : {&m_first, &m_second}) {
            const QString workbook = WorkbookFiles::autoSavePath(s.folder(), record->fileName());
            QCOMPARE(recovered.at(record == &m_first ? 0 : 1).at(0).toString(), workbook);
            QCOMPARE(workbookValues(workbook, 0), record->values);
        }
        QCOMPARE(folder.entryList({"*.journal", "*.lock"}, QDir::Files), QStringList());
        QVERIFY(folder.exists(QStringLiteral("20000102_000000.journal.discarded")));
        // Saved: nothing is asked when a new record starts.
        s.prompts.clear();
        s.start();
        QCOMPARE(s.prompts.calls().size(), 0);
    }

    void noSetsTheJournalAside()
    {
        JournalSession s;
        leaveJournals(s, {&m_first});
        const QString path = QDir(s.folder()).filePath(m_first.stamp + QStringLiteral(".journal"));
        QVERIFY(writeFile(path + QStringLiteral(".discarded"), "an earlier one"));
        s.prompts.queueAnswer(Prompts::Answer::No);
        s.session.recovery().recoverAll(RecordRecovery::Asking::Ask);
        s.session.workbookSaver().waitForSaves();

        QCOMPARE(s.prompts.messageTexts(), QStringList{RecordRecovery::questionText(m_first.fileName())});
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(fileBytes(path + QStringLiteral(".2.discarded")), m_first.journal);
        QCOMPARE(fileBytes(path + QStringLiteral(".discarded")), QByteArray("an earlier one"));
        QVERIFY(s.record().cell(1, 1).isEmpty());
        QVERIFY(s.session.monitor().file.isEmpty());
        QVERIFY(!QFileInfo::exists(WorkbookFiles::autoSavePath(s.folder(), m_first.fileName())));
        s.prompts.clear();
        s.session.recovery().recoverAll(RecordRecovery::Asking::Ask);
        s.session.workbookSaver().waitForSaves();
        QCOMPARE(s.prompts.calls().size(), 0);
    }

    void unattendedRecoversWithoutAsking()
    {
        JournalSession s;
        leaveJournals(s, {&m_first});
        QSignalSpy recovered(&s.session.recovery(), &RecordRecovery::recordRecovered);
        s.session.recovery().recoverAll(RecordRecovery::Asking::DoNotAsk);
        s.session.workbookSaver().waitForSaves();
        QCOMPARE(s.prompts.calls().size(), 0);
        QCOMPARE(tableOf(s.record()), m_first.table);
        QCOMPARE(statisticsOf(s.session.statistics()), m_first.statistics);
        QVERIFY(s.session.state().rangeMixed[0]);
        QCOMPARE(recovered.size(), 1);
        QCOMPARE(recovered.at(0).at(0).toString(),
                 WorkbookFiles::autoSavePath(s.folder(), m_first.fileName()));
        QVERIFY(!QFileInfo::exists(QDir(s.folder()).filePath(m_first.stamp + QStringLiteral(".journal"))));
    }

    // A record that cannot be saved stays in the table, unsaved, with its journal; the next
    // journal waits for the next start. The save question then protects the record.
    void failedSaveKeepsRecordAndJournal()
    {
        JournalSession s;
        FullDiskSaver fullDisk;
        s.session.setRecordSaver(&fullDisk);
        leaveJournals(s, {&m_first, &m_second});
        s.prompts.queueAnswer(Prompts::Answer::Yes);
        s.prompts.queueAnswer(Prompts::Answer::Yes);
        s.session.recovery().recoverAll(RecordRecovery::Asking::Ask);
        s.session.workbookSaver().waitForSaves();

        QCOMPARE(s.prompts.messageTexts(),
                 QStringList({RecordRecovery::questionText(m_first.fileName()),
                              QStringLiteral("The recovered record %1 could not be saved (disk full). It is "
                                             "kept in the table.")
                                  .arg(m_first.fileName())}));
        QCOMPARE(tableOf(s.record()), m_first.table);
        const QString first = QDir(s.folder()).filePath(m_first.stamp + QStringLiteral(".journal"));
        const QString second = QDir(s.folder()).filePath(m_second.stamp + QStringLiteral(".journal"));
        QCOMPARE(fileBytes(first), m_first.journal);
        QCOMPARE(fileBytes(second), m_second.journal);

        s.prompts.clear();
        s.clock.advance(60000); // a stamp of its own for the record that starts
        s.start();              // No to saving it: the record is dropped with its journal
        QCOMPARE(
            s.prompts.messageTexts().value(0),
            QStringLiteral("(%1).  This record didn't saved ! Do you want to save?").arg(m_first.fileName()));
        QVERIFY(!QFileInfo::exists(first));
        QVERIFY(QFileInfo::exists(second));
        s.session.setRecordSaver(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
