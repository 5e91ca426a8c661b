#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <utility>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "core/recording/LinkLossWatch.h"
#include "core/recording/LogFile.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/workbook/StagedFile.h"
#include "core/workbook/WorkbookWriter.h"
#include "support/CommandNames.h"
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
const QHash<QChar, QString> Messages{
    {u'T', QStringLiteral("Time out! Continue to receive data now?  | Real time data | YesNo | None")},
    {u'C',
     QStringLiteral("(Clear record ).  Recording! Do you want to clear? | Clear record! | YesNo | Question")},
    {u'S',
     QStringLiteral("(240315_093000.xlsx).  This record didn't saved ! Do you want to save? | Save File! | "
                    "YesNo | Question")},
    {u'L', QStringLiteral("Link error ! Please check your connector. | Voltrix | Ok | None")}, // after a scan
    {u'M', QStringLiteral(
               "Link error ! Please check your connector.\nCOM 1 does not exist. | Voltrix | Ok | Warning")},
    {u'D',
     QStringLiteral("Link error ! Please check your connector.\nCOM1 is in use. | Voltrix | Ok | Warning")}};

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

// Saves as the workbook writer will and notes which save ran on which rows ("auto 0001").
struct NotingSaver final : RecordSaver {
    explicit NotingSaver(Session &s) : session(s) {}
    bool autoSave(QString *) override
    {
        saves << "auto " + numbers(session.record());
        markSaved(session);
        return true;
    }
    bool saveDataCommand() override
    {
        saves << "save " + numbers(session.record());
        return true;
    }
    Session &session;
    QStringList saves;
};

// A recording session (receiver on port 1) whose outcome reads as status(), asked() and the saver's notes.
struct Rig : RecordingSession {
    Rig()
    {
        session.setRecordSaver(&saver);
        // "in:stop" runs Stop inside the next wait that lets events run.
        clock.setOnProcessEvents([this] {
            if (!inWait.isEmpty()) play(std::exchange(inWait, QString()));
        });
    }
    ~Rig() { session.setRecordSaver(nullptr); }

    RecordingControl &rec() { return session.recording(); }
    Commands &procs() { return session.commandProcs(); }
    CommandState &commands() { return session.commands(); }
    bool checked(const char *item) { return CommandNames::isChecked(commands(), QString::fromLatin1(item)); }
    QString status()
    {
        QStringList words;
        for (const char *item : {"mnrun", "mnpause", "mnstop", "mnconnect"})
            if (checked(item)) words << QString::fromLatin1(item + 2);
        if (session.state().linkUp) words << QStringLiteral("link");
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
            {"run", [](Rig &r) { r.rec().run(); }},
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
            {"deny", [](Rig &r) { r.serial.setPermissionDenied({1}, QStringLiteral("COM1 is in use.")); }}};

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

    NotingSaver saver{session};
    QString inWait;
};

// The program's own saver, whose background writes a test can hold, slow down or fail.
struct SavingRig : Rig {
    SavingRig()
    {
        session.setRecordSaver(nullptr);
        saver().setFallbackFolder(fallback.path());
    }
    WorkbookSaver &saver() { return session.workbookSaver(); }
    void writeWith(std::function<bool(StagedFile &, QString *)> step)
    {
        saver().setBackgroundWriter([step](const WorkbookRecord &record, StagedFile &file, QString *error) {
            return step(file, error) && WorkbookWriter().write(record, file, error);
        });
    }
    // The meter of channel 1 turns to ACV: the record is split off.
    void turnToAcv() { serial.feed(FrameEncoder::encodeReading({0, 0, 3, 1, 0, false}, 230)); }
    QString autoSavePath(const QString &folder) const { return QDir(folder).filePath(First); }

    QTemporaryDir fallback;
};

void row(const char *name, const char *script, const char *asked, const QString &status,
         const QString &record = QString(), const char *saves = "")
{
    QTest::newRow(name) << QString::fromLatin1(script) << QString::fromLatin1(asked) << status << record
                        << QString::fromLatin1(saves);
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startLinksAndRecords()
    {
        Rig rig;
        QFile oldLog(LogFile::path());
        QVERIFY(oldLog.open(QIODevice::WriteOnly) && oldLog.write("left over") > 0);
        oldLog.close();
        QSignalSpy started(&rig.rec(), &RecordingControl::recordStarted);

        rig.rec().run();
        QCOMPARE(rig.status(), Rec);
        QVERIFY(rig.asked().isEmpty());
        QCOMPARE(rig.serial.inBufferCount(), 0); // the probe's answer was discarded
        QVERIFY(rig.checked("mnmo") && rig.checked("mntab") && rig.checked("mngr") &&
                !rig.checked("mnpower"));
        QCOMPARE(started.count(), 1);
        QCOMPARE(rig.session.record().stamp(), QStringLiteral("20240315_093000"));
        QCOMPARE(rig.session.monitor().file, First);
        QCOMPARE(rig.session.record().cell(0, RecordStore::valueColumn(0)), QStringLiteral("Ch1"));
        QCOMPARE(QFileInfo(LogFile::path()).size(), 0);
        rig.play("receive later");
        const qsizetype opens = rig.serial.openAttempts().size();
        rig.rec().run(); // already recording: nothing happens
        QCOMPARE(rig.serial.openAttempts().size(), opens);
        QCOMPARE(QString(rig.session.monitor().file + ' ' + numbers(rig.session.record())), First + " 0001");
        rig.rec().stop();
        // Pause with the port closed only silences the alarm.
        rig.session.state().alarmActive = rig.session.state().alarmEnabled = true;
        QSignalSpy changes(&rig.commands(), &CommandState::changed);
        rig.rec().pause();
        QVERIFY(!rig.session.state().alarmActive && rig.session.state().alarmEnabled);
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
        row("pause keeps the record", "run receive pause receive", "", Paused, First + " 0001");
        row("resume numbers on", "run receive pause receive run receive", "", Rec, First + " 0001 0002");
        row("resume restarts the time-out count", "run tick9 pause run tick10", "", Rec, First);
        row("no time-out at the 10th quiet tick", "run tick8 receive tick10", "", Rec, First + " 0001");
        row("11th tick asks, Yes resumes", "run tick8 receive yes tick11 tick10", "T", Rec, First + " 0001");
        row("time-out, No stops", "run receive no tick11", "T", StopLinked, First + " 0001");
        // A receiver that died mid-frame, or left noise behind, has gone silent all the same.
        row("a frame part waiting is no input", "run receive partial tick11", "T", StopLinked,
            First + " 0001");
        row("nor is noise", "run receive noise tick11", "T", StopLinked, First + " 0001");
        row("nor a little noise", "run receive hiss tick11", "T", StopLinked, First + " 0001");
        row("clear while recording, Yes", "run receive saved yes clear", "C", StopLinked);
        row("clear while recording, No", "run receive saved no clear", "C", Rec, First + " 0001");
        row("clear while paused, Yes", "run receive saved pause yes clear", "C", StopLinked);
        row("clear while paused, No", "run receive saved pause no clear", "C", Paused, First + " 0001");
        row("clear while stopped asks nothing", "run receive saved stop clear", "", StopLinked);
        row("start after stop, Yes saves", "run receive stop later yes run", "S", Rec, Minute, "save 0001");
        row("start after stop, No goes on", "run receive stop later no run", "S", Rec, Minute);
        // the link comes first: a Start that finds no receiver leaves the record as it was
        row("failed link keeps the record unasked", "run receive stop mute run", "L", "stop",
            First + " 0001");
        row("offer for an unsaved record", "run receive stop pad offer", "S", StopLinked, First + " 0001");
        row("none for a saved record", "run receive stop saved offer", "", StopLinked, First + " 0001");
        row("none for an empty table", "run stop offer", "", StopLinked, First);
        row("asked with the table hidden", "run receive stop hideTable offer", "S", StopLinked,
            First + " 0001");
        row("failed link at Start stops", "mute run", "L", "stop");
        // An unplugged adapter pauses the record, unasked, until its port opens again.
        row("lost port pauses and waits", "run receive lose", "", Waiting, First + " 0001");
        row("waits while the port is missing", "run receive lose poll poll receive", "", Waiting,
            First + " 0001");
        row("the port back resumes the record", "run receive lose poll back poll receive", "", Rec,
            First + " 0001 0002");
        row("no time-out question while waiting", "run receive lose tick11 tick11", "", Waiting,
            First + " 0001");
        row("time-out counts anew after the return", "run receive tick9 lose back poll tick10", "", Rec,
            First + " 0001");
        row("Start while missing waits on, unasked", "run receive lose run back poll receive", "", Rec,
            First + " 0001 0002");
        row("Start with the port back resumes at once", "run receive lose back run receive", "", Rec,
            First + " 0001 0002");
        row("Stop ends the waiting", "run receive lose stop back poll receive", "", StopLinked,
            First + " 0001");
        row("Pause ends the waiting", "run receive lose pause back poll receive", "", Paused,
            First + " 0001");
        row("Start after that Pause resumes", "run receive lose pause back run receive", "", Rec,
            First + " 0001 0002");
        row("Start after that Pause, port missing", "run receive lose pause run", "M", "stop",
            First + " 0001");
        row("Clear while waiting, Yes", "run receive saved lose yes clear back poll", "C", StopLinked);
        row("Clear while waiting, No waits on", "run receive saved lose no clear back poll receive", "C", Rec,
            First + " 0001 0002");
        row("Connect while waiting unlinks", "run receive lose connect back poll", "", "stop",
            First + " 0001");
        row("lost again while resuming waits again", "run receive lose back in:lose poll", "", Waiting,
            First + " 0001");
        row("port taken while paused stops", "run receive pause deny run", "D", "stop", First + " 0001");
        row("restart saves and starts anew", "run receive later restart", "", Rec, Minute, "auto 0001");
        // commands and frames that run inside the settle waits of Stop and resume
        row("Start during Stop's wait is ignored", "run receive in:run stop", "", StopLinked,
            First + " 0001");
        row("split during Stop's wait stays stopped", "run receive in:restart stop", "", StopLinked,
            First + " 0001", "auto 0001");
        row("Stop during resume's wait", "run pause in:stop run", "", StopLinked, First);
        row("Pause during resume's wait", "run pause in:pause run", "", Paused, First);
        row("Start during Connect's probe is ignored", "in:run connect", "", "connect link");
        row("a torn frame is not carried into the next record", "run torn stop run receive", "", Rec,
            First + " 0001");
        row("Connect without a receiver", "mute connect", "L", "");
        row("Connect links", "connect", "", "connect link");
        row("Connect again unlinks", "connect connect", "", "stop");
        row("Connect while recording unlinks", "run receive connect", "", "stop", First + " 0001");
        // A meter that reports once a minute: the receiver's status frames keep the time-out away.
        row("status frames are no silence", "run receive tick10 status tick10 status tick10 receive", "", Rec,
            First + " 0001 0002");
        // Close All (also as the program closes) leaves no timer running: neither the supervision
        // timer nor the lost port's watch, which would resume a record whose windows are gone.
        row("Close All while recording", "run receive closeAll back poll tick11", "", "run connect port log",
            First + " 0001");
        row("Close All while waiting", "run receive lose closeAll back poll tick11", "", "pause connect log",
            First + " 0001");
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
            messages << Messages.value(code);
        QCOMPARE(rig.asked(), messages);
        QCOMPARE(rig.status(), status);
        const QString shown = rig.session.monitor().file.trimmed() + ' ' + numbers(rig.session.record());
        QCOMPARE(shown.trimmed(), record);
        QCOMPARE(rig.saver.saves.join(", "), saves);
        // Connect is offered exactly while unlinked (Close All clears the link flag only).
        if (!script.contains(u"closeAll"))
            QCOMPARE(rig.commands().isEnabled(ToolbarButton::Connect), !rig.session.state().linkUp);
    }

    // However often the watch is stepped, the lost port is tried once a second.
    void lostPortIsTriedOnceASecond()
    {
        Rig rig;
        rig.play("run receive lose");
        rig.serial.resetLog();
        for (int i = 0; i < 8; ++i)
            rig.watch(250);
        rig.watch(0);
        QCOMPARE(rig.serial.openAttempts(), QList<int>({1, 1})); // 1 s and 2 s after the loss
    }

    // The monitor tells how long the link has been lost while waiting, then how long it was lost
    // in the record, until a new record begins.
    void monitorTellsHowLongTheLinkIsLost()
    {
        Rig rig;
        const MonitorFields &monitor = rig.session.monitor();
        rig.play("run receive");
        const QString reading = monitor.bigValue + monitor.bigUnit;
        QCOMPARE(monitor.linkLoss, QString());
        rig.play("lose");
        QCOMPARE(monitor.bigValue + monitor.bigUnit, QStringLiteral("LOST"));
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 00:00"));
        QSignalSpy changes(&monitor, &MonitorFields::changed);
        for (int i = 0; i < 48; ++i)
            rig.watch(250);
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 00:12"));
        QCOMPARE(changes.count(), 12); // once a second
        rig.play("back poll");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost once, 00:13"));
        QCOMPARE(monitor.bigValue + monitor.bigUnit, reading); // as after a Pause, until the next reading

        rig.play("lose");
        rig.clock.advance(7000);
        rig.play("back run");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 2 times, 00:20"));
        rig.play("stop");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost 2 times, 00:20"));
        rig.play("saved run");
        QCOMPARE(monitor.linkLoss, QString());
        rig.play("receive lose back poll");
        QCOMPARE(monitor.linkLoss, QStringLiteral("Link lost once, 00:01"));
        const std::pair<qint64, const char *> durations[] = {
            {3599, "59:59"}, {3600, "1:00:00"}, {90061, "25:01:01"}};
        for (const auto &[seconds, text] : durations)
            QCOMPARE(LinkLossWatch::durationText(seconds), QLatin1String(text));
    }

    // While waiting, the menus and buttons are those of a Pause (one change of mode, as Pause
    // announces it): Start resumes, Stop ends.
    void waitingOffersWhatPauseOffers()
    {
        Rig waiting;
        waiting.play("run receive");
        QSignalSpy modes(&waiting.rec().status(), &RecordingStatus::modeChanged);
        waiting.play("lose");
        QCOMPARE(modes.count(), 1);
        QVERIFY(waiting.rec().status().paused());
        QVERIFY(waiting.commands().isEnabled(ToolbarButton::Start) &&
                waiting.commands().isEnabled(ToolbarButton::Stop) &&
                !waiting.commands().isEnabled(ToolbarButton::Pause));
    }

    // Where the record cannot be written, neither the save question nor a split may lose it: the
    // user is told why, once; the record stays in the table or, split off already, in its journal,
    // and the recording stops rather than split off more records that cannot be kept.
    void failedSaves_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told"); // %r: the records folder, %f: the fallback folder
        QTest::newRow("Yes to the save question")
            << "question"
            << "^The record was not saved \\(/dev/null/records/240315_093000\\.xlsx: .+\\)\\.$";
        QTest::newRow("a split with no folder")
            << "split"
            << "^The record could not be saved automatically \\(/dev/null/records/240315_093000\\.xlsx: "
               ".+\\)\\. "
               "The recording was stopped; the record is kept in the table\\.$";
        QTest::newRow("a split whose background write fails")
            << "background"
            << "^The record 240315_093000\\.xlsx could not be saved automatically "
               "\\(%r/240315_093000\\.xlsx: No "
               "space left on device; %f/240315_093000\\.xlsx: No space left on device\\)\\. The recording "
               "was "
               "stopped\\. Its samples are kept in the journal %r/20240315_093000\\.journal, which the next "
               "start "
               "recovers\\.$";
    }

    void failedSaves()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        SavingRig rig;
        const QString records = AppPaths::recordsFolder();
        rig.writeWith([](StagedFile &file, QString *error) {
            *error =
                QDir::toNativeSeparators(file.targetPath()) + QStringLiteral(": No space left on device");
            return false;
        });
        rig.play("run receive receive");
        if (fault != u"background") { // after the journal began
            AppPaths::setRecordsFolderOverride(QStringLiteral("/dev/null/records"));
            rig.saver().setFallbackFolder(QStringLiteral("/dev/null/data"));
        }
        if (fault == u"question") {
            rig.play("stop yes");
            rig.prompts.queueFileName(QStringLiteral("/dev/null/records/240315_093000.xlsx"));
            rig.rec().run();
        } else {
            rig.turnToAcv();
        }
        rig.saver().waitForSaves();
        QCoreApplication::processEvents();
        told.replace(QStringLiteral("%r"), QRegularExpression::escape(QDir::toNativeSeparators(records)))
            .replace(QStringLiteral("%f"),
                     QRegularExpression::escape(QDir::toNativeSeparators(rig.fallback.path())));
        QCOMPARE(rig.prompts.messageTexts().size(), fault == u"question" ? 2 : 1); // the question, then why
        QVERIFY2(QRegularExpression(told).match(rig.prompts.messageTexts().constLast()).hasMatch(),
                 qPrintable(rig.prompts.messageTexts().constLast()));
        QCOMPARE(rig.prompts.lastCall().icon, Prompts::Icon::Warning);
        QVERIFY(rig.session.status().stopped());
        if (fault == u"background") {
            QCOMPARE(
                RecordJournal::read(fileBytes(QDir(records).filePath("20240315_093000.journal"))).samples, 2);
            QCOMPARE(QDir(rig.fallback.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
        } else {
            QCOMPARE(QString(rig.session.monitor().file + ' ' + numbers(rig.session.record())),
                     First + " 0001 0002");
        }
    }

    // A split goes on at once on the open port while the record is written in the background;
    // by the time the program may close, it is on disk.
    void closingWaitsForTheSaveUnderWay()
    {
        SavingRig rig;
        rig.writeWith([](StagedFile &, QString *) {
            QThread::msleep(100);
            return true;
        });
        QSignalSpy splits(&rig.rec(), &RecordingControl::recordSplit);
        rig.play("run receive receive");
        const qsizetype opens = rig.serial.openedPorts().size();
        rig.turnToAcv();
        QCOMPARE(splits.count(), 1);
        QCOMPARE(rig.status(), Rec);
        QCOMPARE(rig.serial.openedPorts().size(), opens);
        QVERIFY(rig.saver().isSaving(First));
        QVERIFY(!QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));

        QVERIFY(rig.rec().confirmClose());
        QVERIFY(QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));
        QVERIFY(!rig.saver().isSaving(First));
        QVERIFY(rig.asked().isEmpty());
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
        rig.play("run receive in:restart stop");
        QCOMPARE(numbers(rig.session.record()), QStringLiteral("0001"));
        QVERIFY(rig.saver().isSaving(First));
        rig.play("later run");
        QVERIFY(rig.asked().isEmpty());
        QCOMPARE(rig.session.monitor().file, Minute);
        gate.release();
        rig.saver().waitForSaves();
        QVERIFY(QFile::exists(rig.autoSavePath(AppPaths::recordsFolder())));
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
