// A session recording from a receiver on a fake port: Start, Pause, Stop, the time-out, a lost
// port, the save question and failed saves; and the record's journal: when it is written, when it
// goes, what a write failure does, and how a record a crash left behind comes back at start-up.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <utility>

#include "core/acquisition/AcquisitionState.h"
#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/LinkLossWatch.h"
#include "core/recording/LogFile.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/workbook/StagedFile.h"
#include "core/workbook/WorkbookWriter.h"
#include "support/CommandNames.h"
#include "support/RecordFixture.h"
#include "support/RecordingSession.h"

namespace
{

// Files are named after the ManualClock's time at Start.
const QString First = QStringLiteral("240315_093000.xlsx");
const QString Minute = QStringLiteral("240315_093100.xlsx");
// status(): the checked recording items, then what is up
const QString Rec = QStringLiteral("run connect link port timer log");
const QString Paused = QStringLiteral("pause connect link log");
const QString Waiting = Paused + QStringLiteral(" wait"); // paused by a lost port, which is tried again
const QString StopLinked = QStringLiteral("stop connect link");

// The questions and messages by one-letter code, as "text | title | buttons | icon".
const QString Codes = QStringLiteral("TCSLMD");
const QStringList Messages{
    "Time out! Continue to receive data now?  | Real time data | YesNo | None",
    "(Clear record ).  Recording! Do you want to clear? | Clear record! | YesNo | Question",
    "(240315_093000.xlsx).  This record didn't saved ! Do you want to save? | Save File! | YesNo | Question",
    "Link error ! Please check your connector. | Voltrix | Ok | None", // after a scan
    "Link error ! Please check your connector.\nCOM 1 does not exist. | Voltrix | Ok | Warning",
    "Link error ! Please check your connector.\nCOM1 is in use. | Voltrix | Ok | Warning"};

// A reading of `channel` in `function` (0 DCV, 1 ACV, 2 DCA), reported every 2 s.
QByteArray frameOf(int channel, int function, int digits)
{
    return FrameEncoder::encodeReading({channel, 0, 3, function, 0, false}, digits);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file of the record's name in the records folder is what the save question takes as saved.
void markSaved(Session &session)
{
    QFile(QDir(AppPaths::recordsFolder()).filePath(session.monitor().file)).open(QIODevice::WriteOnly);
}

// The record's row numbers, e.g. "0001 0002".
QString numbers(const RecordStore &record)
{
    QStringList rows;
    for (int row = 1; row < record.gridRowCount(); ++row)
        if (!record.cell(row, 0).isEmpty()) rows << record.cell(row, 0);
    return rows.join(u' ');
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

// Each channel's figures, average, maximum and minimum as the statistics hold them.
QStringList statisticsOf(const Statistics &statistics)
{
    QStringList out;
    for (int k = 0; k < 6; ++k) {
        const ChannelStatistics &f = statistics.channel(k);
        out << QStringLiteral("%1 %2 %3 %4").arg(f.count).arg(f.sum).arg(f.sumPrefix).arg(f.average);
        for (const StatExtreme &e : {f.maximum, f.minimum})
            out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                       .arg(e.text, e.unit, e.time, QString::number(e.row), QString::number(e.value),
                            QString::number(e.prefix), e.mark);
    }
    return out;
}

// Saves nothing: no folder takes the file.
struct FullDiskSaver final : RecordSaver {
    bool autoSave(QString *error) override { return (*error = QStringLiteral("disk full")).isEmpty(); }
    bool saveDataCommand() override { return false; }
};

// A record that a crash left behind: its journal as it was on disk, and its table.
struct CrashedRecord {
    QString stamp;
    QByteArray journal;
    QStringList table;
    QStringList statistics;
    QString fileName() const { return RecordStore::fileNameForStamp(stamp); }
};

// A recording session (receiver on port 1) whose outcome reads as status(), asked() and the saver's notes.
struct Rig : RecordingSession {
    Rig()
    {
        // Each save notes the rows it saved ("auto 0001"); an automatic save counts as written.
        setOnAutoSave([this] {
            saves << "auto " + numbers(session.record());
            markSaved(session);
        });
        setOnSaveCommand([this] { saves << "save " + numbers(session.record()); });
        // "in:stop" runs Stop inside the next wait that lets events run.
        clock.setOnProcessEvents([this] {
            if (!inWait.isEmpty()) play(std::exchange(inWait, QString()));
        });
    }

    RecordingControl &rec() { return session.recording(); }
    Commands &procs() { return session.commandProcs(); }
    CommandState &commands() { return session.commands(); }
    bool checked(const char *item) { return CommandNames::isChecked(commands(), QString::fromLatin1(item)); }
    QString status()
    {
        QStringList words;
        for (const char *item : {"mnrun", "mnpause", "mnstop", "mnconnect"})
            if (checked(item)) words << QString::fromLatin1(item + 2);
        if (session.state().link.up) words << QStringLiteral("link");
        if (serial.isOpen()) words << QStringLiteral("port");
        if (rec().timerEnabled()) words << QStringLiteral("timer");
        if (rec().logFile().isOpen()) words << QStringLiteral("log");
        if (rec().waitingForPort()) words << QStringLiteral("wait");
        return words.join(u' ');
    }
    QStringList asked() const
    {
        static const char *const icons[] = {"None", "Question", "Information", "Warning", "Critical"};
        QStringList calls;
        for (const ScriptedPrompts::Call &c : prompts.calls())
            calls << c.text + " | " + c.title +
                         (c.buttons == Prompts::Buttons::YesNo ? " | YesNo | " : " | Ok | ") +
                         QLatin1String(icons[int(c.icon)]);
        return calls;
    }
    // One DCV reading of channel 1; lost while the port is closed.
    void receive() { serial.feed(FrameEncoder::encodeReading(FrameEncoder::Header{}, 1234)); }
    // One step of the lost port's watch, `ms` after the last.
    void watch(int ms)
    {
        clock.advance(ms);
        rec().lossWatch().tick();
    }
    // Runs user actions and events named by words; "tick11" is eleven timer ticks.
    void play(const QString &script)
    {
        static const QHash<QString, std::function<void(Rig &)>> steps{
            {"start", [](Rig &r) { r.rec().start(); }},
            {"pause", [](Rig &r) { r.rec().pause(); }},
            {"stop", [](Rig &r) { r.rec().stop(); }},
            {"clear", [](Rig &r) { r.rec().clearCommand(); }},
            {"offer", [](Rig &r) { r.rec().reAutoSave(); }},
            {"restart", [](Rig &r) { r.rec().restartRecord(); }},
            {"connect", [](Rig &r) { r.procs().connectCommand(); }},
            {"hideTable", [](Rig &r) { r.procs().toggleTable(); }},
            {"receive", [](Rig &r) { r.receive(); }},
            {"partial", [](Rig &r) { r.serial.feed(QByteArray::fromHex("ff00")); }}, // part of a frame waits
            // a frame of no channel, holding the start of a status frame whose rest never comes
            {"torn", [](Rig &r) { r.serial.feed(QByteArray::fromHex("ff6000fe0000")); }},
            {"status", [](Rig &r) { r.serial.feed(FrameEncoder::encodeStatus()); }},
            {"noise", [](Rig &r) { r.serial.feed(QByteArray::fromHex("0102030405060708")); }},
            {"hiss", [](Rig &r) { r.serial.feed(QByteArray::fromHex("010203")); }}, // too few for an event
            {"yes", [](Rig &r) { r.prompts.queueAnswer(Prompts::Answer::Yes); }},
            {"no", [](Rig &r) { r.prompts.queueAnswer(Prompts::Answer::No); }},
            {"later", [](Rig &r) { r.clock.advance(60000); }},
            {"saved", [](Rig &r) { markSaved(r.session); }},
            {"pad", [](Rig &r) { r.session.monitor().file = " " + r.session.monitor().file + " "; }},
            {"mute", [](Rig &r) { r.serial.setAnsweringPorts({}); }},
            {"lose", [](Rig &r) { r.serial.loseDevice(QStringLiteral("device removed")); }},
            {"back", [](Rig &r) { r.serial.returnDevice(); }},
            {"poll", [](Rig &r) { r.watch(1000); }},
            {"closeAll", [](Rig &r) { r.procs().closeAll(); }},
            {"deny", [](Rig &r) { r.serial.setPermissionDenied({1}, QStringLiteral("COM1 is in use.")); }},
            {"acv", [](Rig &r) { r.turnToAcv(), r.session.workbookSaver().waitForSaves(); }},
            {"name", [](Rig &r) { r.nextFileName(QStringLiteral("saved.xlsx")); }},
            {"csvName", [](Rig &r) { r.nextFileName(QStringLiteral("saved.csv")); }},
            {"nowhere", [](Rig &r) { r.nextFileName(QStringLiteral("no/such/folder/saved.xlsx")); }},
            {"save", [](Rig &r) { r.procs().run(Command::SaveData); }},
            {"open", [](Rig &r) { r.session.openRecord().run(); }}, // its file dialog cancelled
            {"close", [](Rig &r) { r.rec().confirmClose(); }},
            {"keep", [](Rig &r) { r.session.journal().keepCurrentForRecovery(); }}};
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            const int ticks = step.startsWith(u"tick") ? step.mid(4).toInt() : 0;
            for (int i = 0; i < ticks; ++i)
                rec().timerTick();
            if (step.startsWith(u"in:")) {
                inWait = step.mid(3);
                continue;
            }
            QVERIFY2(ticks > 0 || steps.contains(step), qPrintable(step));
            if (ticks == 0) steps.value(step)(*this);
        }
    }
    // The meter of channel 1 turns to ACV: the record is split off.
    void turnToAcv() { serial.feed(FrameEncoder::encodeReading({0, 0, 3, 1, 0, false}, 230)); }
    // A name of its own in the records folder, for the next file dialog.
    void nextFileName(const QString &name)
    {
        prompts.queueFileName(QDir(AppPaths::recordsFolder()).filePath(QString::number(++names) + name));
    }

    QStringList saves;
    QString inWait;
    int names = 0;
};

// The program's own saver, whose background writes a test can hold, slow down or fail.
struct SavingRig : Rig {
    SavingRig() { session.setRecordSaver(nullptr); }
    WorkbookSaver &saver() { return session.workbookSaver(); }
    RecordStore &record() { return session.record(); }
    QString folder() const { return AppPaths::recordsFolder(); }
    QString journalPath(const QString &stamp) const { return QDir(folder()).filePath(stamp + ".journal"); }
    QString journalPath() { return journalPath(record().stamp()); }
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
    void writeWith(std::function<bool(StagedFile &, QString *)> step)
    {
        saver().setBackgroundWriter([step](const WorkbookRecord &record, StagedFile &file, QString *error) {
            return step(file, error) && WorkbookWriter().write(record, file, error);
        });
    }
    // No disk takes the workbook: each background write fails.
    void failWrites()
    {
        writeWith([](StagedFile &file, QString *error) {
            *error =
                QDir::toNativeSeparators(file.targetPath()) + QStringLiteral(": No space left on device");
            return false;
        });
    }
    QString autoSavePath(const QString &folder) const { return QDir(folder).filePath(First); }
};

// `record`: F or M for the file name of the first record or of one started a minute later.
void row(const char *name, const char *script, const char *asked, const QString &status,
         const char *record = "", const char *saves = "")
{
    const QString file = record[0] == 'F' ? First : record[0] == 'M' ? Minute : QString();
    QTest::newRow(name) << QString::fromLatin1(script) << QString::fromLatin1(asked) << status
                        << QString(file + QLatin1String(record).mid(1)) << QString::fromLatin1(saves);
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

    CrashedRecord m_first;
    CrashedRecord m_second;

private Q_SLOTS:
    // The journals two records of a session leave when the program dies while each is paused.
    void initTestCase()
    {
        SavingRig s;
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
                                 statisticsOf(s.session.statistics())};
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
        QVERIFY2(m_first.statistics.at(1).startsWith(u"+OL V"), qPrintable(m_first.statistics.at(1)));
    }
    // From Start on, the samples reach the file in bursts: with the first sample after the
    // interval, or by the timer at the latest; Pause and Stop write everything through.
    void journalFollowsTheRecord()
    {
        SavingRig s;
        s.start();
        const QString path = s.journalPath();
        QCOMPARE(RecordJournal::read(fileBytes(path)).stamp, s.record().stamp());
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
        s.rec().start(); // resume: the same record and journal
        s.reading(0, 16);
        s.rec().stop();
        QCOMPARE(samplesOnDisk(path), 5); // the table it rebuilds is the recovery's
    }
    // A journal no folder can take is told once with the system's reason, after trying the
    // fallback folder; the recording goes on, and the journal is written whole once the disk
    // takes it again.
    void writeFailureIsToldOnceAndHealed()
    {
        SavingRig s;
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
    // At start the staged files and journal locks a killed program left go; those a running program
    // holds stay.
    void abandonedStagedFilesGo()
    {
        SavingRig s;
        StagedFile held(QDir(s.folder()).filePath(QStringLiteral("held.xlsx")));
        QString error;
        QVERIFY2(held.create(&error), qPrintable(error));
        QVERIFY(writeFile(QDir(s.folder()).filePath(QStringLiteral(".left.xlsx.k3j2.tmp")), {}));
        // Killed between its record's start and the journal's first write: no journal, a lock.
        QVERIFY(writeFile(s.journalPath("20000101_000000") + ".lock",
                          "2147483647\nvoltrix\n" + QSysInfo::machineHostName().toUtf8() + '\n'));
        s.start();
        s.session.workbookSaver().removeAbandonedFiles();
        s.session.journal().removeAbandonedLocks();
        QCOMPARE(
            QDir(s.folder())
                .entryList({QStringLiteral(".*.tmp"), QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden),
            QStringList({QFileInfo(held.temporaryPath()).fileName(),
                         QFileInfo(s.journalPath()).fileName() + ".lock"}));
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
            "The record %1 could not be saved automatically (%2: No space left on device; %3: No space "
            "left on device). Its samples are kept in the journal %4, which the next start recovers.");
    }
    void recovery()
    {
        QFETCH(QString, answers);
        QFETCH(QString, fault);
        QFETCH(int, recovered);
        QFETCH(QString, told);
        SavingRig s;
        FullDiskSaver fullDisk;
        if (fault == u"refused") s.session.setRecordSaver(&fullDisk);
        WorkbookSaver &saver = s.session.workbookSaver();
        if (fault == u"write") s.failWrites();
        const QString first = s.journalPath(m_first.stamp);
        const QString second = s.journalPath(m_second.stamp);
        QVERIFY(writeFile(first, m_first.journal));
        QVERIFY(writeFile(second, m_second.journal + "S\t0\t7\t09:3")); // a damaged tail
        QByteArray headerOnly;
        RecordJournal::appendHeader(headerOnly, QStringLiteral("20000101_000000"));
        QVERIFY(writeFile(s.journalPath("20000101_000000"), headerOnly));
        QVERIFY(writeFile(first + ".discarded", "set aside before"));
        s.play(QString(answers).replace(u'y', "yes ").replace(u'n', "no ").remove(u'-'));
        QSignalSpy spy(&s.session.recovery(), &RecordRecovery::recordRecovered);
        s.session.recovery().recoverAll(answers == u"-" ? RecordRecovery::Asking::DoNotAsk
                                                        : RecordRecovery::Asking::Ask);
        QStringList asked;
        for (const QChar answer : answers)
            if (answer != u'-')
                asked << RecordRecovery::questionText((asked.isEmpty() ? m_first : m_second).fileName());
        const auto saved = [&](const QString &folder) {
            return QDir::toNativeSeparators(WorkbookFiles::autoSavePath(folder, m_first.fileName()));
        };
        if (!told.isEmpty())
            asked << (fault != u"write"
                          ? told.arg(m_first.fileName())
                          : told.arg(m_first.fileName(), saved(s.folder()), saved(saver.fallbackFolder()),
                                     QDir::toNativeSeparators(first)));
        QCOMPARE(s.prompts.messageTexts(), asked);
        QCOMPARE(spy.size(), recovered);
        for (int i = 0; i < recovered; ++i) // each saved under its own name
            QCOMPARE(spy.at(i).at(0).toString(),
                     WorkbookFiles::autoSavePath(s.folder(), (i == 0 ? m_first : m_second).fileName()));
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
        QVERIFY(s.session.state().channels.rangeMixed[0] == (recovered != 2));
        QCOMPARE(QFileInfo::exists(first), recovered == 0);
        QCOMPARE(QFileInfo::exists(second), recovered == 0);
        // Saved, nothing is asked when a new record starts; unsaved, the save question's No keeps the
        // journal.
        s.prompts.clear();
        s.play("later start");
        QCOMPARE(s.prompts.calls().size(), recovered == 0 ? 1 : 0);
        QCOMPARE(QFileInfo::exists(first), recovered == 0);
        if (recovered == 0) QCOMPARE(fileBytes(first), m_first.journal);
        s.session.setRecordSaver(nullptr);
    }
    // Start links, discards the probe's answer, begins a record and its log file afresh (by its older
    // name too); Pause with the port closed only silences the alarm. (Its windows: the main window's.)
    void startLinksAndRecords()
    {
        Rig rig;
        QVERIFY(writeFile(LogFile::path(), "left over"));
        QVERIFY(writeFile(QDir(AppPaths::recordsFolder()).filePath(QStringLiteral("Data.log")),
                          "by its older name"));
        QSignalSpy started(&rig.rec(), &RecordingControl::recordStarted);
        rig.rec().start();
        QCOMPARE(rig.serial.inBufferCount(), 0);
        QCOMPARE(started.count(), 1);
        QCOMPARE(QFileInfo(LogFile::path()).size(), 0);
        QVERIFY(!QFileInfo::exists(QDir(AppPaths::recordsFolder()).filePath(QStringLiteral("Data.log"))));
        rig.play("stop");
        rig.session.state().main.alarmActive = rig.session.state().main.alarmEnabled = true;
        QSignalSpy changes(&rig.commands(), &CommandState::changed);
        rig.play("pause");
        QVERIFY(!rig.session.state().main.alarmActive && rig.session.state().main.alarmEnabled);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(rig.status(), StopLinked); // Stop leaves the link alone
    }
    void scenarios_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("asked");  // message codes, in order
        QTest::addColumn<QString>("status"); // at the end
        QTest::addColumn<QString>("record"); // file name and row numbers at the end
        QTest::addColumn<QString>("saves");  // what the saver was asked to save
        row("Start while recording does nothing", "start receive later start", "", Rec, "F 0001");
        row("pause keeps the record", "start receive pause receive", "", Paused, "F 0001");
        row("resume numbers on", "start receive pause receive start receive", "", Rec, "F 0001 0002");
        row("resume restarts the time-out count", "start tick9 pause start tick10", "", Rec, "F");
        row("no time-out at the 10th quiet tick", "start tick8 receive tick10", "", Rec, "F 0001");
        row("11th tick asks, Yes resumes", "start tick8 receive yes tick11 tick10", "T", Rec, "F 0001");
        row("time-out, No stops", "start receive no tick11", "T", StopLinked, "F 0001");
        // A receiver that died mid-frame, or left noise behind, has gone silent all the same.
        row("a frame part waiting is no input", "start receive partial tick11", "T", StopLinked, "F 0001");
        row("nor is noise", "start receive noise tick11", "T", StopLinked, "F 0001");
        row("nor a little noise", "start receive hiss tick11", "T", StopLinked, "F 0001");
        row("clear while recording, Yes", "start receive saved yes clear", "C", StopLinked);
        row("clear while recording, No", "start receive saved no clear", "C", Rec, "F 0001");
        row("clear while paused, Yes", "start receive saved pause yes clear", "C", StopLinked);
        row("clear while paused, No", "start receive saved pause no clear", "C", Paused, "F 0001");
        row("clear while stopped asks nothing", "start receive saved stop clear", "", StopLinked);
        row("start after stop, Yes saves", "start receive stop later yes start", "S", Rec, "M", "save 0001");
        row("start after stop, No goes on", "start receive stop later no start", "S", Rec, "M");
        // the link comes first: a Start that finds no receiver leaves the record as it was
        row("failed link keeps the record unasked", "start receive stop mute start", "L", "stop", "F 0001");
        row("offer for an unsaved record", "start receive stop pad offer", "S", StopLinked, "F 0001");
        row("none for a saved record", "start receive stop saved offer", "", StopLinked, "F 0001");
        row("none for an empty table", "start stop offer", "", StopLinked, "F");
        row("asked with the table hidden", "start receive stop hideTable offer", "S", StopLinked, "F 0001");
        row("failed link at Start stops", "mute start", "L", "stop");
        // An unplugged adapter pauses the record, unasked, until its port opens again.
        row("lost port pauses and waits", "start receive lose", "", Waiting, "F 0001");
        row("waits while the port is missing", "start receive lose poll poll receive", "", Waiting, "F 0001");
        row("the port back resumes", "start receive lose poll back poll receive", "", Rec, "F 0001 0002");
        row("no time-out question while waiting", "start receive lose tick11 tick11", "", Waiting, "F 0001");
        row("time-out counts anew on return", "start receive tick9 lose back poll tick10", "", Rec, "F 0001");
        row("Start while missing waits on", "start receive lose start back poll receive", "", Rec,
            "F 0001 0002");
        row("Start with the port back resumes", "start receive lose back start receive", "", Rec,
            "F 0001 0002");
        row("Stop ends the waiting", "start receive lose stop back poll receive", "", StopLinked, "F 0001");
        row("Pause ends the waiting", "start receive lose pause back poll receive", "", Paused, "F 0001");
        row("Start after Pause resumes", "start receive lose pause back start receive", "", Rec,
            "F 0001 0002");
        row("Start after that Pause, port missing", "start receive lose pause start", "M", "stop", "F 0001");
        row("Clear while waiting, Yes", "start receive saved lose yes clear back poll", "C", StopLinked);
        row("Clear waiting, No", "start receive saved lose no clear back poll receive", "C", Rec,
            "F 0001 0002");
        row("Connect while waiting unlinks", "start receive lose connect back poll", "", "stop", "F 0001");
        row("lost again while resuming", "start receive lose back in:lose poll", "", Waiting, "F 0001");
        row("port taken while paused stops", "start receive pause deny start", "D", "stop", "F 0001");
        row("restart saves and starts anew", "start receive later restart", "", Rec, "M", "auto 0001");
        // commands and frames that run inside the settle waits of Stop and resume
        row("Start during Stop's wait is ignored", "start receive in:start stop", "", StopLinked, "F 0001");
        row("split in Stop's wait", "start receive in:restart stop", "", StopLinked, "F 0001", "auto 0001");
        row("Stop during resume's wait", "start pause in:stop start", "", StopLinked, "F");
        row("Pause during resume's wait", "start pause in:pause start", "", Paused, "F");
        row("Start during Connect's probe is ignored", "in:start connect", "", "connect link");
        row("a torn frame is not carried on", "start torn stop start receive", "", Rec, "F 0001");
        row("Connect without a receiver", "mute connect", "L", "");
        row("Connect links", "connect", "", "connect link");
        row("Connect again unlinks", "connect connect", "", "stop");
        row("Connect while recording unlinks", "start receive connect", "", "stop", "F 0001");
        // A meter that reports once a minute: the receiver's status frames keep the time-out away.
        row("status frames are no silence", "start receive tick10 status tick10 status tick10 receive", "",
            Rec, "F 0001 0002");
        // Close All (also as the program closes) leaves no timer running: neither the supervision
        // timer nor the lost port's watch, which would resume a record whose windows are gone.
        row("Close All while recording", "start receive closeAll back poll tick11", "",
            "run connect port log", "F 0001");
        row("Close All while waiting", "start receive lose closeAll back poll tick11", "",
            "pause connect log", "F 0001");
    }
    void scenarios()
    {
        QFETCH(QString, script);
        QFETCH(QString, asked);
        QFETCH(QString, status);
        QFETCH(QString, record);
        QFETCH(QString, saves);
        Rig rig;
        rig.play(script);
        QStringList messages;
        for (const QChar code : asked)
            messages << Messages.at(Codes.indexOf(code));
        QCOMPARE(rig.asked(), messages);
        QCOMPARE(rig.status(), status);
        const QString shown = rig.session.monitor().file.trimmed() + ' ' + numbers(rig.session.record());
        QCOMPARE(shown.trimmed(), record);
        QCOMPARE(rig.saves.join(", "), saves);
        // Connect is offered exactly while unlinked (Close All clears the link flag only).
        if (!script.contains(u"closeAll"))
            QCOMPARE(rig.commands().isEnabled(ToolbarButton::Connect), !rig.session.state().link.up);
    }
    // A record begun automatically keeps the user's main channel, its alarm and the power cost once
    // that channel reports, though another meter is heard first; after two of its intervals and a
    // second of silence the first channel takes them, as in any record; a channel chosen meanwhile stays.
    void automaticRecordKeepsTheMainChannel_data()
    {
        QTest::addColumn<bool>("split"); // or a function change
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("monitor"); // main channel, entry, high limit and unit, sounding, power
        const auto row = [](const char *name, bool split, const char *then, const char *monitor) {
            QTest::newRow(name) << split << QString::fromLatin1(then) << QString::fromLatin1(monitor);
        };
        row("split", true, "reports", "3 1 5 A 1 1");
        row("function change", false, "reports", "3 1 5 A 1 1");
        row("main channel silent", true, "silent", "1 0 5 mV 1 0");
        row("a channel chosen meanwhile", true, "chosen", "1 0 -  0 0");
    }
    void automaticRecordKeepsTheMainChannel()
    {
        QFETCH(bool, split);
        QFETCH(QString, then);
        Rig rig;
        rig.store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
        rig.store.save(QStringLiteral("setup_T1Hi"), QStringLiteral("5"));
        rig.play("start");
        rig.session.windows().setShown(ChildWindow::Power, true);
        rig.feed(frameOf(0, 0, 1) + frameOf(2, 2, 3));
        rig.session.channelSelector().select(1); // the user's choice: channel 3, with its alarm at 5 A
        // The first channel is heard first in the new record.
        rig.feed(split ? frameOf(0, 0, 1).repeated(RecordStore::MaxSampleRows - 1) + frameOf(0, 0, 2)
                       : frameOf(0, 1, 230));
        QCOMPARE((QList<int>{rig.autoSaves(), rig.session.monitor().channelIndex}), (QList<int>{1, -1}));
        if (then == u"chosen") rig.session.channelSelector().select(0);
        rig.clock.advance(then == u"silent" ? 5001 : 4000); // readings every 2 s
        rig.feed(then != u"silent" ? frameOf(2, 2, 7) : frameOf(0, split ? 0 : 1, 2));
        const AcquisitionState &state = rig.session.state();
        const MonitorFields &m = rig.session.monitor();
        QTEST(QStringLiteral("%1 %2 %3 %4 %5 %6")
                  .arg(state.main.channel + 1)
                  .arg(m.channelIndex)
                  .arg(m.alarmLimits.high, m.alarmLimits.highUnit)
                  .arg(state.main.alarmActive)
                  .arg(state.main.powerRunning),
              "monitor");
    }
    // The monitor tells how long the link has been lost while waiting, then how long it was lost
    // in the record, until a new record begins; however often the watch is stepped, the lost port
    // is tried once a second.
    void monitorTellsHowLongTheLinkIsLost()
    {
        Rig rig;
        const MonitorFields &monitor = rig.session.monitor();
        rig.play("start receive");
        const QString reading = monitor.bigValue + monitor.bigUnit;
        QCOMPARE(monitor.linkLoss, QString());
        rig.play("lose");
        QCOMPARE(monitor.bigValue + monitor.bigUnit, QStringLiteral("LOST"));
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 00:00"));
        QSignalSpy changes(&monitor, &MonitorFields::changed);
        rig.serial.resetLog();
        for (int i = 0; i < 48; ++i)
            rig.watch(250);
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 00:12"));
        QCOMPARE(changes.count(), 12); // once a second, as the lost port is tried
        QCOMPARE(rig.serial.openAttempts(), QList<int>(12, 1));
        rig.play("back poll");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost once, 00:13"));
        QCOMPARE(monitor.bigValue + monitor.bigUnit, reading); // as after a Pause, until the next reading
        rig.play("lose");
        rig.clock.advance(7000);
        rig.play("back start");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 2 times, 00:20"));
        rig.play("stop");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 2 times, 00:20"));
        rig.play("saved start");
        QCOMPARE(monitor.linkLoss, QString());
        rig.play("receive lose back poll");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost once, 00:01"));
        QCOMPARE(LinkLossWatch::durationText(3599) + ' ' + LinkLossWatch::durationText(3600) + ' ' +
                     LinkLossWatch::durationText(90061),
                 QStringLiteral("59:59 1:00:00 25:01:01"));
    }
    // The record's journal goes once a workbook holds all its samples, or with the record; a failed
    // save, a CSV, a save while taking samples and a journal kept for the next start leave it.
    void journalGoesWithTheRecord_data()
    {
        QTest::addColumn<QString>("script"); // after two samples and a minute
        QTest::addColumn<bool>("kept");
        const auto row = [](const char *name, const char *script, bool kept) {
            QTest::newRow(name) << QString::fromLatin1(script) << kept;
        };
        row("Save Data", "stop name save", false);
        row("Save Data as CSV", "stop csvName save", true);
        row("Save Data failing", "stop nowhere save", true);
        row("Save Data while recording", "name save", true);
        row("Save Data while paused", "name save pause name save", true);
        row("Save Data once stopped", "name save stop name save", false);
        row("automatic save", "acv", false);
        row("Clear record", "stop clear", false);
        row("Clear record while recording", "yes clear", false);
        row("No at a new Start", "stop start", false);
        row("a record without a sample", "stop start stop", false);
        row("Yes at a new Start", "stop yes name start", false);
        row("No when closing", "close", false);
        row("Yes when closing, saving fails", "yes nowhere close", true);
        row("Open", "stop open", false);
        row("Stop", "stop", true);
        row("kept, then No when closing", "keep close", true); // as a failed --output or a signal keeps it
        row("kept, then saved", "keep stop name save", false);
    }
    void journalGoesWithTheRecord()
    {
        QFETCH(QString, script);
        QFETCH(bool, kept);
        SavingRig rig;
        const QDir folder(AppPaths::recordsFolder());
        const QString path = folder.filePath(QStringLiteral("20240315_093000.journal"));
        rig.play("start receive receive later " + script); // a record started anew gets a stamp of its own
        // Written through unless still taking samples; a record begun afterwards has a journal of its
        // own; no lock outlives its journal.
        const QString current = rig.session.journal().currentPath();
        QCOMPARE(QFileInfo::exists(path), kept);
        if (kept && !rig.rec().status().running()) QCOMPARE(samplesOnDisk(path), 2);
        QStringList journals = folder.entryList({QStringLiteral("*.journal*")}, QDir::Files);
        for (const QString &lock : journals.filter(u".lock"))
            QVERIFY(journals.removeAll(lock) && journals.contains(lock.chopped(5)));
        QCOMPARE(journals.size() - int(kept), int(!current.isEmpty() && current != path));
    }
    // Where the record cannot be written, neither the save question nor a split may lose it: the
    // user is told why, once; the record stays in the table or, split off already, in its journal,
    // and the recording stops rather than split off more records that cannot be kept.
    void failedSaves_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // %r: the records folder, %f: the fallback folder, %e: a reason
        const QString full = QStringLiteral("240315_093000.xlsx: No space left on device");
        const QString book = QStringLiteral("/dev/null/records/240315_093000.xlsx: %e)");
        QTest::newRow("Yes to the save question") << "question"
                                                  << "The record was not saved (" + book + '.';
        QTest::newRow("a split with no folder")
            << "split"
            << "The record could not be saved automatically (" + book +
                   ". The recording was stopped; the record is kept in the table.";
        QTest::newRow("a split whose background write fails")
            << "background"
            << "The record 240315_093000.xlsx could not be saved automatically (%r/" + full + "; %f/" + full +
                   "). The recording was stopped. Its samples are kept in the journal "
                   "%r/20240315_093000.journal, which the next start recovers.";
    }
    void failedSaves()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        SavingRig rig;
        const QString records = AppPaths::recordsFolder();
        const QString fallback = rig.saver().fallbackFolder();
        rig.failWrites();
        rig.play("start receive receive");
        if (fault != u"background") { // after the journal began
            AppPaths::setRecordsFolderOverride(QStringLiteral("/dev/null/records"));
            rig.saver().setFallbackFolder(QStringLiteral("/dev/null/data"));
        }
        if (fault == u"question") {
            rig.play("stop yes");
            rig.prompts.queueFileName(QStringLiteral("/dev/null/records/240315_093000.xlsx"));
            rig.rec().start();
        } else {
            rig.turnToAcv();
        }
        rig.saver().waitForSaves();
        QCoreApplication::processEvents();
        told.replace(QStringLiteral("%r"), QDir::toNativeSeparators(records))
            .replace(QStringLiteral("%f"), QDir::toNativeSeparators(fallback));
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(told).replace(QStringLiteral("\\%e"), QStringLiteral(".+"))));
        QCOMPARE(rig.prompts.messageTexts().size(), fault == u"question" ? 2 : 1); // the question, then why
        QVERIFY2(pattern.match(rig.prompts.messageTexts().constLast()).hasMatch(),
                 qPrintable(rig.prompts.messageTexts().constLast()));
        QCOMPARE(rig.prompts.lastCall().icon, Prompts::Icon::Warning);
        QVERIFY(rig.session.status().stopped());
        if (fault == u"background") {
            QCOMPARE(samplesOnDisk(QDir(records).filePath("20240315_093000.journal")), 2);
            QCOMPARE(QDir(fallback).entryList(QDir::Files | QDir::Hidden), QStringList{});
        } else {
            QCOMPARE(QString(rig.session.monitor().file + ' ' + numbers(rig.session.record())),
                     First + " 0001 0002");
        }
    }
    // A split goes on at once on the open port while the record is written in the background;
    // by the time the program may close, it is on disk.
    void closingWaitsForTheSaveUnderWay()
    {
        QSemaphore gate; // the save stays under way until the gate opens; it outlives the rig's queue
        SavingRig rig;
        rig.writeWith([&gate](StagedFile &, QString *) { return gate.tryAcquire(1, 10000); });
        rig.play("start receive receive");
        const qsizetype opens = rig.serial.openedPorts().size();
        rig.turnToAcv();
        QCOMPARE(rig.status(), Rec);
        QCOMPARE(rig.serial.openedPorts().size(), opens);
        QVERIFY(rig.saver().isSaving(First));
        QVERIFY(!QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));
        gate.release();
        QVERIFY(rig.rec().confirmClose());
        QVERIFY(QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));
        QVERIFY(!rig.saver().isSaving(First));
        QVERIFY(rig.asked().isEmpty());
    }
    // Two programs on one records folder split records begun in the same second: each workbook
    // keeps a name of its own, whichever save ends first, and every reading is in one of them.
    void twoProgramsSplitInTheSameSecond()
    {
        SavingRig first;
        SavingRig second; // its records folder is the first's too
        QSemaphore gate;
        first.writeWith([&gate](StagedFile &, QString *) { return gate.tryAcquire(1, 10000); });
        for (SavingRig *rig : {&first, &second}) {
            rig->play("start receive receive");
            rig->turnToAcv();
        }
        QCOMPARE(first.record().stamp(), second.record().stamp());
        second.saver().waitForSaves(); // the second's workbook takes the name first
        gate.release();
        first.saver().waitForSaves();
        const QDir folder(second.folder());
        QCOMPARE(folder.entryList({"*.xlsx"}), QStringList({First, First.chopped(5) + "_2.xlsx"}));
        for (const QString &book : folder.entryList({"*.xlsx"}))
            QCOMPARE(workbookValues(folder.filePath(book), 0), QStringList({"1234", "1234"}));
        QCOMPARE(folder.entryList({"*.journal"}).size(), 2); // the records after the split
    }
    // A record split off during Stop's wait stays in the table; while its save is under way the
    // next Start does not offer to save it.
    void recordBeingSavedIsNotOffered()
    {
        SavingRig rig;
        QSemaphore gate;
        rig.writeWith([&gate](StagedFile &, QString *) {
            gate.acquire();
            return true;
        });
        const auto open = qScopeGuard([&] {
            gate.release();
            rig.saver().waitForSaves();
        });
        rig.play("start receive in:restart stop");
        QCOMPARE(numbers(rig.session.record()), QStringLiteral("0001"));
        QVERIFY(rig.saver().isSaving(First));
        rig.play("later start");
        QVERIFY(rig.asked().isEmpty());
        QCOMPARE(rig.session.monitor().file, Minute);
        gate.release();
        rig.saver().waitForSaves();
        QVERIFY(QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
