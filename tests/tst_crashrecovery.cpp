// The program itself, run unattended as a child on a receiver over a pseudo-terminal. While the disk
// refuses or the program is killed, every run ends with the record in a journal or a workbook, and
// a start afterwards brings it back in order, nothing lost of what reached the disk.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <unistd.h>

#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "support/PtyReceiver.h"
#include "support/RecordFixture.h"

namespace
{

const QString JournalPattern = QStringLiteral("*.journal");

// The receiver, and what is made to fail when.
enum class Fault {
    ReadOnlyOutput = 1 << 0,
    FullOutput = 1 << 1,
    ReadOnlyRecordsAndData = 1 << 2, // the program's folder and the per-user folder's parent
    FullRecords = 1 << 3,
    DataRefused = 1 << 4, // the per-user data folder cannot be made
    Journal = 1 << 5,     // a journal left behind before the start
    Kill = 1 << 6,
    KillAtStagedFile = 1 << 7, // killed once the recovered record's staged file appears
    Term = 1 << 8,
    Hup = 1 << 9,
    TwoMeters = 1 << 10, // DCV in mV and ACA, every half second
    Unplugged = 1 << 11, // one meter at a constant level, every half second, unplugged
    PluggedBack = 1 << 12,
    NoDisplay = 1 << 13,
};
Q_DECLARE_FLAGS(Faults, Fault)
Q_DECLARE_OPERATORS_FOR_FLAGS(Faults)

int journalSamples(const QString &folder)
{
    int samples = 0;
    for (const QFileInfo &info : QDir(folder).entryInfoList({JournalPattern}, QDir::Files))
        if (QFile file(info.filePath()); file.open(QIODevice::ReadOnly))
            samples += RecordJournal::read(file.readAll()).samples;
    return samples;
}

bool run(const QString &program, const QStringList &arguments)
{
    return QProcess::execute(program, arguments) == 0;
}

// A home folder for the program: its records folder (the program's own folder, where the program
// is linked or copied), its per-user data folder and the folders the faults are made in.
struct ProgramRig {
    ProgramRig()
        : home(QFileInfo(qEnvironmentVariable("VOLTRIX_APP"))
                   .absoluteDir()
                   .filePath(QStringLiteral("faults-XXXXXX"))),
          records(home.filePath(QStringLiteral("records"))),
          data(home.filePath(QStringLiteral("data/Voltrix"))), output(home.filePath(QStringLiteral("out")))
    {
        for (const QString &folder : {records, data, output})
            QDir().mkpath(folder);
    }
    ~ProgramRig()
    {
        process.kill();
        process.waitForFinished(5000);
        for (auto it = mounts.crbegin(); it != mounts.crend(); ++it)
            run(QStringLiteral("umount"), {QStringLiteral("-l"), *it});
    }
    // A tmpfs of `kilobytes` at `folder`, for root only; false when it cannot be mounted here.
    bool mount(const QString &folder, int kilobytes, bool readOnly = false)
    {
        const QString options = QStringLiteral("size=%1k%2").arg(kilobytes).arg(readOnly ? ",ro" : "");
        if (::geteuid() != 0 ||
            !run(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", folder}))
            return false;
        mounts << folder;
        return true;
    }
    // Takes the last free byte of the folder's file system.
    static void fill(const QString &folder)
    {
        QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly)) return;
        for (const int size : {4096, 1})
            while (filler.write(QByteArray(size, 'x')) == size && filler.flush()) {
            }
    }
    bool placeProgram() { return !(program = isolatedProgram(QDir(records))).isEmpty(); }
    void start(const QStringList &arguments, bool display = true)
    {
        QProcessEnvironment env = isolatedEnvironment(QDir(home.path()));
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            if (!display) env.remove(QLatin1String(name));
        QFile(home.filePath(QStringLiteral("a-file"))).open(QIODevice::WriteOnly);
        if (dataRefused)
            env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("a-file/data")));
        process.setProcessEnvironment(env);
        said.clear();
        process.start(program, arguments);
    }
    bool hears(const QString &text)
    {
        said += QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput());
        return said.contains(text);
    }
    int waitForExit(int timeoutMs = 30000) // the receiver lives on this thread's events
    {
        const bool ended =
            QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, timeoutMs);
        hears({});
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QStringList leftOver(const QString &folder) const
    {
        return QDir(folder).entryList({JournalPattern, QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden);
    }

    QTemporaryDir home;
    QString records;
    QString data;
    QString output;
    QString program;
    QStringList mounts;
    bool dataRefused = false;
    QProcess process;
    QString said;
};

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runs_data();
    void runs();
};

void TestCrashRecovery::runs_data()
{
    QTest::addColumn<Faults>("faults");
    QTest::addColumn<QStringList>("args"); // %dev: the receiver, %out: the output folder
    QTest::addColumn<int>("exitCode");     // -1: killed
    QTest::addColumn<QString>("said");     // a line of the run's output, as a pattern
    // "journal A B": the record's journal is in folder A after the run, the next start saves it
    // into B; "values P": channels 1 and 4 of the workbook written match P. (The CSV written by
    // --output is the workbook wiring tests'.)
    QTest::addColumn<QString>("record");
    const auto toWorkbook = [](int seconds) {
        return QStringList{"--ports",  "%dev",          "--record", "--duration", QString::number(seconds),
                           "--output", "%out/rec.xlsx", "--quit"};
    };
    const QStringList recording = {"--ports", "%dev", "--record", "--duration", "120"};
    const auto row = [](const char *name, Faults faults, const QStringList &args, int exitCode,
                        const char *said, const char *record) {
        QTest::newRow(name) << faults << args << exitCode << said << record;
    };
    using F = Fault;
    row("read-only --output", F::ReadOnlyOutput, toWorkbook(2), 2,
        "^voltrix: could not write the record: .*Read-only file system.*\nvoltrix: the record is kept in the "
        "journal %records/\\d{8}_\\d{6}\\.journal, which the next start recovers$",
        "journal records records");
    // The program's folder read-only sends the records to the per-user folder, which cannot be made.
    row("both folders read-only", F::ReadOnlyRecordsAndData, toWorkbook(2), 0,
        "^voltrix: \\[Voltrix\\] The journal \\S+/data/Voltrix/\\S+ could not be written \\(Read-only file "
        "system\\)\\. ",
        "values ^\\d+( \\d+)+ \\| $");
    row("full --output", F::FullOutput, toWorkbook(2), 2,
        "^voltrix: could not write the record: .*No space left on device", "journal records records");
    row("full records folder, killed", F::FullRecords | F::Kill, recording, -1, "", "journal data data");
    row("recovery refused by both folders", F::FullRecords | F::Journal | F::DataRefused, {"--quit"}, 2,
        "^voltrix: \\[Voltrix\\] The record 261207_024638.xlsx could not be saved automatically \\(.*\\)\\. "
        "Its samples are kept in the journal %records/20261207_024638.journal, which the next start "
        "recovers\\. -> OK$",
        "journal records data");
    row("killed during recovery", F::Journal | F::KillAtStagedFile, {"--quit"}, -1, "",
        "journal records records");
    row("killed while recording", F::Kill, recording, -1, "", "journal records records");
    row("SIGTERM while recording", F::Term, recording, 0, "", "journal records records");
    // A signal ends an unattended run as --quit does after Stop: the outputs asked for written first.
    row("SIGTERM to a workbook", F::Term, toWorkbook(120), 0, "^voltrix: record written to .*/rec.xlsx$",
        "values ^\\d+( \\d+)+ \\| $");
    row("SIGHUP to a workbook, no --quit", F::Hup,
        {"--ports", "%dev", "--record", "--output", "%out/rec.xlsx", "--print-data", "%out/rec.pdf"}, 0,
        "^voltrix: table printed to .*/rec.pdf$", "values ^\\d+( \\d+)+ \\| $");
    // The duration runs on through an unplugged receiver; one that comes back continues the record.
    row("two meters to a workbook", F::TwoMeters, toWorkbook(3), 0,
        "^voltrix: record written to .*/rec.xlsx$", "values ^12.34( 12.34)+ \\| 5( 5)*$");
    row("unplugged and back", F::Unplugged | F::PluggedBack, toWorkbook(5), 0,
        "^voltrix: COM 1 \\(.*\\) is back after 00:0", "values ^12( 12)* 34( 34)* \\| $");
    row("unplugged for good", F::Unplugged, toWorkbook(3), 0,
        "^voltrix: COM 1 \\(.*\\) was lost: the device went away \\(unplugged or switched off\\)",
        "values ^12( 12)* \\| $");
    row("no receiver", {}, {"--ports", "%out/none", "--record", "--quit"}, 1,
        "^voltrix: \\[Voltrix\\] Link error ! Please check your connector. -> OK$", "");
    row("help without a display", F::NoDisplay, {"--help"}, 0, "--record", "");
    row("version without a display", F::NoDisplay, {"--version"}, 0, "^Voltrix \\d", "");
}

void TestCrashRecovery::runs()
{
    QFETCH(Faults, faults);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, record);
    if (qEnvironmentVariable("VOLTRIX_APP").isEmpty()) QSKIP("VOLTRIX_APP is not set");
    ProgramRig rig;
    QVERIFY(rig.home.isValid());
    const QStringList kept = record.split(u' ');
    const auto folder = [&](int word) { return kept.value(word) == u"data" ? rig.data : rig.records; };

    if (faults & (Fault::ReadOnlyOutput | Fault::FullOutput) &&
        !rig.mount(rig.output, 64, faults.testFlag(Fault::ReadOnlyOutput)))
        QSKIP("no tmpfs can be mounted here");
    if (faults.testFlag(Fault::FullOutput)) ProgramRig::fill(rig.output);
    const int recordsKb = int(QFileInfo(qEnvironmentVariable("VOLTRIX_APP")).size() / 1024) + 256;
    if (faults.testFlag(Fault::FullRecords) && !rig.mount(rig.records, recordsKb))
        QSKIP("no tmpfs can be mounted here");
    const bool readOnlyRecords = faults.testFlag(Fault::ReadOnlyRecordsAndData);
    if (readOnlyRecords &&
        !(rig.mount(rig.records, recordsKb) && rig.mount(QFileInfo(rig.data).path(), 64, true)))
        QSKIP("no tmpfs can be mounted here");
    QVERIFY(rig.placeProgram());
    if (readOnlyRecords) QVERIFY(run(QStringLiteral("mount"), {"-o", "remount,ro", rig.records}));
    int samples = 0; // what the record holds on disk at the end of the run, at least
    if (faults.testFlag(Fault::Journal)) {
        const int rows = faults.testFlag(Fault::KillAtStagedFile) ? RecordStore::MaxSampleRows : 50;
        QFile journal(QDir(rig.records).filePath(QStringLiteral("20261207_024638.journal")));
        QVERIFY(journal.open(QIODevice::WriteOnly) && journal.write(countingJournal(rows, 6)) > 0);
        samples = 6 * rows;
    }
    if (faults.testFlag(Fault::FullRecords)) ProgramRig::fill(rig.records);
    rig.dataRefused = faults.testFlag(Fault::DataRefused);

    // By default one meter counting up by one, ten readings a second.
    const bool counting = !(faults & (Fault::Unplugged | Fault::TwoMeters));
    SimulatorOptions options;
    options.timeFactor = counting ? 1 : 4; // else a reading every half second
    SimulatedMeter meter;
    meter.level = faults.testFlag(Fault::TwoMeters) ? 12.34 : 12; // mV, two decimals
    meter.prefixCode = faults.testFlag(Fault::TwoMeters) ? 2 : meter.prefixCode;
    meter.decimalCode = faults.testFlag(Fault::TwoMeters) ? 2 : meter.decimalCode;
    if (counting) {
        meter.intervalMs = 100;
        meter.pattern = SimulatedMeter::Pattern::Ramp;
        meter.maximum = 10000;
        meter.periodS = 1000;
        meter.startDelayMs = 0;
    }
    QList<SimulatedMeter> meters{meter};
    if (faults.testFlag(Fault::TwoMeters)) {
        SimulatedMeter aca; // ACA, one decimal
        aca.channel = 3;
        aca.functionCode = 3;
        aca.decimalCode = 4;
        aca.level = 5;
        meters << aca;
    }
    ReplugReceiver receiver;
    QString error;
    QVERIFY2(receiver.plugIn(&error), qPrintable(error));
    receiver.receiver().start(meters, options);
    for (QString &arg : args)
        arg.replace(QStringLiteral("%dev"), receiver.devicePath())
            .replace(QStringLiteral("%out"), rig.output);
    rig.start(args, !faults.testFlag(Fault::NoDisplay));
    QVERIFY(rig.process.waitForStarted());

    if (faults.testFlag(Fault::KillAtStagedFile)) { // killed while the recovered record is being written
        QElapsedTimer waited;
        waited.start();
        while (
            QDir(rig.records).entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden).isEmpty() &&
            waited.elapsed() < 20000)
            QThread::usleep(500);
        rig.process.kill();
    } else if (faults & (Fault::Kill | Fault::Term | Fault::Hup)) {
        QTRY_VERIFY_WITH_TIMEOUT(journalSamples(folder(1)) >= 10, 20000);
        QTest::qWait(700);
        samples = journalSamples(folder(1));
        if (faults.testFlag(Fault::Kill))
            rig.process.kill();
        else
            ::kill(pid_t(rig.process.processId()), faults.testFlag(Fault::Term) ? SIGTERM : SIGHUP);
    } else if (faults.testFlag(Fault::Unplugged)) {
        QTRY_VERIFY_WITH_TIMEOUT(rig.hears(QStringLiteral("voltrix: recording for ")), 20000);
        QTest::qWait(1200);
        receiver.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(rig.hears(QStringLiteral(" was lost: ")), 5000);
        meters.first().level = 34;
        if (faults.testFlag(Fault::PluggedBack)) QVERIFY2(receiver.plugIn(&error), qPrintable(error));
        if (faults.testFlag(Fault::PluggedBack)) receiver.receiver().start(meters, options);
    }
    const int exited = rig.waitForExit();
    QVERIFY2(exited == exitCode, qPrintable(QString::number(exited) + u' ' + rig.said));
    receiver.unplug();
    said.replace(QStringLiteral("%records"),
                 QRegularExpression::escape(QFileInfo(rig.records).canonicalFilePath()));
    QVERIFY2(QRegularExpression(said, QRegularExpression::MultilineOption).match(rig.said).hasMatch(),
             qPrintable(rig.said));
    // The program's own words only: no library's or Qt's notes to their developers.
    QVERIFY2(!rig.said.contains(u"[ERROR]") && !rig.said.contains(u"QIODevice::"), qPrintable(rig.said));

    if (kept.first() == u"values") { // one record, nothing between or twice
        const QString book = QDir(rig.output).filePath(QStringLiteral("rec.xlsx"));
        const QString sequence =
            workbookValues(book, 0).join(u' ') + QStringLiteral(" | ") + workbookValues(book, 3).join(u' ');
        QVERIFY2(QRegularExpression(record.mid(7)).match(sequence).hasMatch(), qPrintable(sequence));
    }
    if (kept.first() != u"journal") return;
    QVERIFY2(journalSamples(folder(1)) >= qMax(samples, 1), qPrintable(rig.said));

    // The next start, the refusing folders as they are (only the per-user folder takes files again).
    rig.dataRefused = false;
    rig.start({QStringLiteral("--quit")});
    QCOMPARE(rig.waitForExit(), 0);
    const QRegularExpressionMatch line =
        QRegularExpression(QStringLiteral("^voltrix: recovered an unsaved record into (.*\\.xlsx)$"),
                           QRegularExpression::MultilineOption)
            .match(rig.said);
    QVERIFY2(line.hasMatch(), qPrintable(rig.said));
    QCOMPARE(QFileInfo(line.captured(1)).absolutePath(), QFileInfo(folder(2)).canonicalFilePath());
    const QStringList values = workbookValues(line.captured(1), 0);
    QVERIFY2(values.size() * (faults.testFlag(Fault::Journal) ? 6 : 1) >= qMax(samples, 2),
             qPrintable(values.join(' ')));
    for (qsizetype i = 1; i < values.size(); ++i) // in order, none twice, none left out
        QCOMPARE(values.at(i).toInt(), values.at(i - 1).toInt() + 1);
    // Neither the journal nor a staged file a kill left behind stays.
    QCOMPARE(rig.leftOver(rig.records) + rig.leftOver(rig.data), QStringList());
}

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
