// The journal of the open record on a whole session: when it is written, when it goes, what a
// write failure does, and how a record that a crash left behind comes back at start-up.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

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
#include "core/workbook/StagedFile.h"
#include "core/workbook/WorkbookWriter.h"
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
    QString journalPath(const QString &stamp) const { return QDir(folder()).filePath(stamp + ".journal"); }
    QString journalPath() { return journalPath(record().stamp()); }
    QStringList journals() const { return QDir(folder()).entryList({"*.journal*"}, QDir::Files); }
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

// Saves nothing: no folder takes the file.
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
        const auto take = [&s] {
            s.rec().pause();
            return CrashedRecord{s.record().stamp(), fileBytes(s.journalPath()), recordText(s.record()),
                                 tableValues(s.record(), 0), statisticsOf(s.session.statistics())};
        };
        m_first = take();
        s.rec().stop();
        s.clock.advance(2000);
        s.start(); // No to saving the first: its journal goes, the bytes above stay
        for (int i = 0; i < 12; ++i) {
            s.reading(i % 2 == 0 ? 0 : 5, 100 + i);
            s.clock.advance(400);
        }
        m_second = take();
        QCOMPARE(RecordJournal::read(m_first.journal).samples, 8);
        QVERIFY2(m_first.statistics.at(1).startsWith(u"+OL V"), qPrintable(m_first.statistics.at(1)));
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
        QCOMPARE(s.session.journal().currentPath(), path);

        s.reading(0, 12);
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
        RecordStore rebuilt;
        RecordJournal::rebuild(RecordJournal::read(fileBytes(path)), rebuilt);
        QCOMPARE(recordText(rebuilt), recordText(s.record()));
    }

    void journalGoesWithTheRecord_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Save Data") << "stop, Save Data" << false;
        QTest::newRow("Save Data as CSV") << "stop, Save Data csv" << true;
        QTest::newRow("Save Data failing") << "stop, Save Data nowhere" << true;
        // What comes after a save made while recording is in no workbook.
        QTest::newRow("Save Data while recording") << "Save Data" << true;
        QTest::newRow("Save Data while paused") << "Save Data, pause, Save Data" << true;
        QTest::newRow("Save Data once stopped") << "Save Data, stop, Save Data" << false;
        QTest::newRow("automatic save") << "function change" << false;
        QTest::newRow("Clear record") << "stop, Clear" << false;
        QTest::newRow("Clear record while recording") << "Clear" << false;
        QTest::newRow("No at a new Start") << "stop, Start" << false;
        QTest::newRow("a record without a sample") << "stop, Start, stop" << false;
        QTest::newRow("Yes at a new Start") << "stop, Yes, Start" << false;
        QTest::newRow("No when closing") << "close" << false;
        QTest::newRow("Yes when closing, saving fails") << "close nowhere" << true;
        QTest::newRow("Open") << "stop, Open" << false;
        QTest::newRow("Stop") << "stop" << true;
        // Kept for the next start whatever the save question gets (a failed --output, a signal).
        QTest::newRow("kept, then No when closing") << "keep, close" << true;
        QTest::newRow("kept, then saved") << "keep, stop, Save Data" << false;
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
        const QString fileName = RecordStore::fileNameForStamp(s.record().stamp());
        const QString nowhere = QDir(s.folder()).filePath(QStringLiteral("no/such/folder/saved.xlsx"));
        int saves = 0;
        s.clock.advance(1000); // a record started anew gets a stamp of its own
        for (const QString &step : ending.split(QStringLiteral(", "))) {
            const QString saved = QDir(s.folder()).filePath(QStringLiteral("saved%1.xlsx").arg(++saves));
            if (step == u"stop") {
                s.rec().stop();
            } else if (step == u"pause") {
                s.rec().pause();
            } else if (step == u"Yes") {
                s.prompts.queueAnswer(Prompts::Answer::Yes);
                s.prompts.queueFileName(saved);
            } else if (step.startsWith(u"Save Data")) {
                s.prompts.queueFileName(step.endsWith(u"csv")       ? QString(saved).replace(".xlsx", ".csv")
                                        : step.endsWith(u"nowhere") ? nowhere
                                                                    : saved);
                QCOMPARE(s.session.workbookSaver().saveDataCommand(), !step.endsWith(u"nowhere"));
            } else if (step == u"function change") {
                s.reading(0, 12, 1); // ACV: saved as yymmdd_hhnnss.xlsx, and a new record begins
                s.session.workbookSaver().waitForSaves();
                QVERIFY(QFileInfo::exists(QDir(s.folder()).filePath(fileName)));
            } else if (step == u"Clear") {
                if (s.rec().status().running())
                    s.prompts.queueAnswer(Prompts::Answer::Yes); // "Clear record!"
                s.rec().clearCommand();                          // and No to saving it
            } else if (step == u"Start") {
                s.start();
            } else if (step == u"close") {
                QVERIFY(s.rec().confirmClose());
            } else if (step == u"close nowhere") {
                s.prompts.queueAnswer(Prompts::Answer::Yes);
                s.prompts.queueFileName(nowhere);
                QVERIFY(!s.rec().confirmClose());
            } else if (step == u"Open") {
                s.session.openRecord().run(); // the file dialog is cancelled: the table is emptied
            } else if (step == u"keep") {
                QCOMPARE(s.session.journal().keepCurrentForRecovery(), path);
            } else {
                QFAIL(qPrintable(step));
            }
        }
        // Written through unless still taking samples; a record begun afterwards has a journal of its
        // own; no lock outlives its journal.
        const QString current = s.session.journal().currentPath();
        QCOMPARE(QFileInfo::exists(path), kept);
        if (kept && !s.rec().status().running()) QCOMPARE(samplesOnDisk(path), 2);
        QStringList journals = s.journals();
        const QStringList locks = journals.filter(u".lock");
        for (const QString &lock : locks)
            QVERIFY(journals.removeAll(lock) && journals.contains(lock.chopped(5)));
        QCOMPARE(journals.size() - int(kept), int(!current.isEmpty() && current != path));
    }

    // A journal no folder can take is told once with the system's reason, after trying the
    // fallback folder; the recording goes on, and the journal is written whole once the disk
    // takes it again.
    void writeFailureIsToldOnceAndHealed()
    {
        JournalSession s;
        s.start();
        const QString path = s.journalPath();
        const QString fallback =
            QDir(s.session.workbookSaver().fallbackFolder()).filePath(s.record().stamp() + ".journal");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{256, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small); // what the file holds beyond that is refused
        for (int i = 0; i < 10; ++i) {
            s.reading(0, 12 + i);
            s.clock.advance(JournalWriter::FlushIntervalMs);
        }
        QCoreApplication::processEvents();
        setrlimit(RLIMIT_FSIZE, &limit);
        QCOMPARE(s.record().nextRow(0), 11);
        QCOMPARE(s.prompts.messageTexts(), QStringList{JournalWriter::writeFailedText(
                                               path, QStringLiteral("File too large; %1: File too large")
                                                         .arg(QDir::toNativeSeparators(fallback)))});
        QCOMPARE(s.prompts.lastCall().icon, Prompts::Icon::Warning);
        s.rec().pause();
        QCOMPARE(samplesOnDisk(path), 10);
        QVERIFY(!QFileInfo::exists(fallback));
        QCOMPARE(s.prompts.calls().size(), 1);
    }

    // At start the staged files a killed program left go; one a running program writes stays.
    void abandonedStagedFilesGo()
    {
        JournalSession s;
        StagedFile held(QDir(s.folder()).filePath(QStringLiteral("held.xlsx")));
        QString error;
        QVERIFY2(held.create(&error), qPrintable(error));
        QVERIFY(writeFile(QDir(s.folder()).filePath(QStringLiteral(".left.xlsx.k3j2.tmp")), {}));
        s.session.workbookSaver().removeAbandonedFiles();
        QCOMPARE(QDir(s.folder()).entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(held.temporaryPath()).fileName()});
    }

    // Start-up offers each journal left behind. Yes rebuilds the record exactly and saves it
    // under its own name; No sets the journal aside; a journal without a sample just goes and a
    // damaged tail is left out. A record that cannot be saved stays in the table and in its
    // journal, which the save question then no longer takes, and the journals after it wait.
    void recovery_data()
    {
        QTest::addColumn<QString>("answers"); // y/n per question; "-" = unattended
        QTest::addColumn<QString>("fault");   // "refused": no folder; "write": the background write fails
        QTest::addColumn<int>("recovered");
        QTest::addColumn<QString>("told"); // after the questions
        const auto row = [](const char *name, const char *answers, const char *fault, int recovered,
                            const char *told) {
            QTest::newRow(name) << answers << fault << recovered << told;
        };
        row("Yes to each", "yy", "", 2, "");
        row("No", "nn", "", 0, "");
        row("unattended", "-", "", 2, "");
        row("no folder takes it", "y", "refused", 0,
            "The recovered record %1 could not be saved (disk full). It is kept in the table.");
        row("the write fails in both folders", "-", "write", 0,
            "The record %1 could not be saved automatically (%2: No space left on device; %3: No space left "
            "on "
            "device). Its samples are kept in the journal %4, which the next start recovers.");
    }

    void recovery()
    {
        QFETCH(QString, answers);
        QFETCH(QString, fault);
        QFETCH(int, recovered);
        QFETCH(QString, told);
        JournalSession s;
        FullDiskSaver fullDisk;
        if (fault == u"refused") s.session.setRecordSaver(&fullDisk);
        WorkbookSaver &saver = s.session.workbookSaver();
        if (fault == u"write")
            saver.setBackgroundWriter([](const WorkbookRecord &, StagedFile &file, QString *error) {
                *error =
                    QDir::toNativeSeparators(file.targetPath()) + QStringLiteral(": No space left on device");
                return false;
            });
        const QString first = s.journalPath(m_first.stamp);
        const QString second = s.journalPath(m_second.stamp);
        QVERIFY(writeFile(first, m_first.journal));
        QVERIFY(writeFile(second, m_second.journal + "S\t0\t7\t09:3")); // a damaged tail
        QByteArray headerOnly;
        RecordJournal::appendHeader(headerOnly, QStringLiteral("20000101_000000"));
        QVERIFY(writeFile(s.journalPath("20000101_000000"), headerOnly));
        QVERIFY(writeFile(first + ".discarded", "set aside before"));
        for (const QChar answer : answers)
            if (answer != u'-')
                s.prompts.queueAnswer(answer == u'y' ? Prompts::Answer::Yes : Prompts::Answer::No);
        QSignalSpy spy(&s.session.recovery(), &RecordRecovery::recordRecovered);

        s.session.recovery().recoverAll(answers == u"-" ? RecordRecovery::Asking::DoNotAsk
                                                        : RecordRecovery::Asking::Ask);

        QStringList asked;
        for (const QChar answer : answers)
            if (answer != u'-')
                asked << RecordRecovery::questionText((asked.isEmpty() ? m_first : m_second).fileName());
        if (!told.isEmpty())
            asked << QString(told)
                         .replace("%1", m_first.fileName())
                         .replace("%2", QDir::toNativeSeparators(
                                            WorkbookFiles::autoSavePath(s.folder(), m_first.fileName())))
                         .replace("%3", QDir::toNativeSeparators(WorkbookFiles::autoSavePath(
                                            saver.fallbackFolder(), m_first.fileName())))
                         .replace("%4", QDir::toNativeSeparators(first));
        QCOMPARE(s.prompts.messageTexts(), asked);
        QCOMPARE(spy.size(), recovered);
        for (int i = 0; i < recovered; ++i) {
            const CrashedRecord &record = i == 0 ? m_first : m_second;
            QCOMPARE(spy.at(i).at(0).toString(), WorkbookFiles::autoSavePath(s.folder(), record.fileName()));
            QCOMPARE(workbookValues(spy.at(i).at(0).toString(), 0), record.values);
        }
        QVERIFY(!QFileInfo::exists(s.journalPath("20000101_000000")));
        QCOMPARE(fileBytes(first + ".discarded"), QByteArray("set aside before"));
        if (answers == u"nn") {
            QCOMPARE(fileBytes(first + ".2.discarded"), m_first.journal);
            QVERIFY(s.record().cell(1, 1).isEmpty());
            return;
        }
        const CrashedRecord &shown = recovered == 2 ? m_second : m_first;
        QCOMPARE(recordText(s.record()), shown.table);
        QCOMPARE(statisticsOf(s.session.statistics()), shown.statistics);
        QCOMPARE(s.session.monitor().file, shown.fileName());
        QVERIFY(s.session.state().rangeMixed[0] == (recovered != 2));
        QCOMPARE(QFileInfo::exists(first), recovered == 0);
        QCOMPARE(QFileInfo::exists(second), recovered == 0);
        // Saved, nothing is asked when a new record starts; unsaved, the save question's No keeps the
        // journal.
        s.prompts.clear();
        s.clock.advance(60000);
        s.start();
        QCOMPARE(s.prompts.calls().size(), recovered == 0 ? 1 : 0);
        QCOMPARE(QFileInfo::exists(first), recovered == 0);
        if (recovered == 0) QCOMPARE(fileBytes(first), m_first.journal);
        s.session.setRecordSaver(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
