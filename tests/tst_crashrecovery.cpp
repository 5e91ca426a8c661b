// The program itself, run as a child on a receiver over a pseudo-terminal, while the disk refuses
// or the program is killed: every run ends with the record in a journal or a workbook, and a start
// afterwards brings it back in order, nothing lost of what reached the disk.
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
#include "core/workbook/XlsxReader.h"
#include "support/PtyReceiver.h"

namespace
{

const QString JournalPattern = QStringLiteral("*.journal");

int journalSamples(const QString &folder)
{
    int samples = 0;
    for (const QFileInfo &info : QDir(folder).entryInfoList({JournalPattern}, QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly)) samples += RecordJournal::read(file.readAll()).samples;
    }
    return samples;
}

// A journal of `rows` rows of six counting channels, as a killed program leaves it.
QByteArray crashedJournal(int rows)
{
    QByteArray out;
    RecordJournal::appendHeader(out, QStringLiteral("20261207_024638"));
    RecordJournal::appendChannelNames(out, {"Ch1", "Ch2", "Ch3", "Ch4", "Ch5", "Ch6"});
    for (int k = 0; k < 6; ++k)
        RecordJournal::appendCaptions(out, k, QStringLiteral("DCV"), QStringLiteral("3"),
                                      QStringLiteral("1"));
    const QString date = RecordStore::shortDate(QDate(2026, 12, 7));
    for (int row = 1; row <= rows; ++row) {
        RecordJournal::appendRowOpened(out, row, QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')),
                                       date);
        const QString time = QTime(2, 46, 38).addSecs(row).toString(QStringLiteral("hh:mm:ss"));
        for (int k = 0; k < 6; ++k)
            RecordJournal::appendSample(out, k, row, time, QString::number(row - 1), QStringLiteral("V"), 1);
    }
    return out;
}

// Channel 1's values of a workbook.
QList<int> workbookValues(const QString &path, QString *error)
{
    SheetCells cells;
    QList<int> values;
    if (!XlsxReader().read(path, &cells, error)) return values;
    for (int row = 8; row <= cells.rowCount(); ++row) {
        const SheetCell cell = cells.at(row, 4);
        if (cell.type == SheetCell::Type::Text) values << cell.text.toInt();
        if (cell.type == SheetCell::Type::Number) values << qRound(cell.number);
    }
    return values;
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
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
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
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
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        const QByteArray byte(1, 'x');
        while (filler.write(byte) == 1 && filler.flush()) {
        }
    }
    bool placeProgram()
    {
        const QString app = qEnvironmentVariable("VOLTRIX_APP");
        program = QDir(records).filePath(QStringLiteral("voltrix"));
        if (::link(QFile::encodeName(app).constData(), QFile::encodeName(program).constData()) == 0)
            return true;
        return QFile::copy(app, program) && QFile::setPermissions(program, QFile::permissions(app));
    }
    void start(const QStringList &arguments)
    {
        QProcessEnvironment env = isolatedEnvironment(QDir(home.path()));
        QFile(home.filePath(QStringLiteral("a-file"))).open(QIODevice::WriteOnly);
        if (dataRefused)
            env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("a-file/data")));
        process.setProcessEnvironment(env);
        said.clear();
        process.start(program, arguments);
    }
    bool hears(const QString &text)
    {
        said += QString::fromLocal8Bit(process.readAllStandardError());
        return said.contains(text);
    }
    int waitForExit(int timeoutMs = 30000)
    {
        QElapsedTimer waited;
        waited.start();
        while (process.state() != QProcess::NotRunning && waited.elapsed() < timeoutMs)
            QTest::qWait(20); // the receiver lives on this thread's events
        QCoreApplication::processEvents();
        hears({});
        return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit
                   ? process.exitCode()
                   : -1;
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
    void faultRuns_data();
    void faultRuns();
};

void TestCrashRecovery::faultRuns_data()
{
    QTest::addColumn<QString>("fault");       // what is made to fail, and when
    QTest::addColumn<QStringList>("args");    // %dev: the receiver, %out: the output folder
    QTest::addColumn<int>("exitCode");        // -1: killed
    QTest::addColumn<QString>("said");        // a line of the run's standard error, as a pattern
    QTest::addColumn<QString>("journalIn");   // where the record's journal is after the run
    QTest::addColumn<QString>("recoveredIn"); // where the next start saves it
    const QStringList recordTo = {"--ports", "%dev", "--record", "--duration", "2", "--output"};
    const QStringList recording = {"--ports", "%dev", "--record", "--duration", "120"};
    const QStringList recovering = {"--quit"};
    QTest::newRow("read-only --output")
        << "read-only output" << recordTo + QStringList{"%out/rec.xlsx", "--quit"} << 2
        << "^voltrix: could not write the record: .*Read-only file system.*\n"
           "voltrix: the record is kept in the journal %records/\\d{8}_\\d{6}\\.journal, which the next "
           "start "
           "recovers$"
        << "records"
        << "records";
    QTest::newRow("full --output") << "full output" << recordTo + QStringList{"%out/rec.xlsx", "--quit"} << 2
                                   << "^voltrix: could not write the record: .*No space left on device"
                                   << "records"
                                   << "records";
    QTest::newRow("full records folder, killed") << "full records, kill" << recording << -1 << ""
                                                 << "data"
                                                 << "data";
    QTest::newRow("recovery refused by both folders")
        << "full records, journal, data refused" << recovering << 2
        << "^voltrix: \\[Voltrix\\] The record 261207_024638.xlsx could not be saved automatically "
           "\\(.*\\)\\. Its samples are kept in the journal %records/20261207_024638.journal, "
           "which the next start recovers\\. -> OK$"
        << "records"
        << "data";
    QTest::newRow("killed during recovery") << "journal, kill at the staged file" << recovering << -1 << ""
                                            << "records"
                                            << "records";
    QTest::newRow("killed while recording") << "kill" << recording << -1 << ""
                                            << "records"
                                            << "records";
    QTest::newRow("SIGTERM while recording") << "term" << recording << 0 << ""
                                             << "records"
                                             << "records";
}

void TestCrashRecovery::faultRuns()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, journalIn);
    QFETCH(QString, recoveredIn);
    if (qEnvironmentVariable("VOLTRIX_APP").isEmpty()) QSKIP("VOLTRIX_APP is not set");
    ProgramRig rig;
    QVERIFY(rig.home.isValid());
    const auto folder = [&](const QString &name) { return name == u"data" ? rig.data : rig.records; };

    if (fault.contains(u"output") && !rig.mount(rig.output, 64, fault.contains(u"read-only")))
        QSKIP("no tmpfs can be mounted here");
    if (fault.contains(u"full output")) ProgramRig::fill(rig.output);
    if (fault.contains(u"full records") &&
        !rig.mount(rig.records, int(QFileInfo(qEnvironmentVariable("VOLTRIX_APP")).size() / 1024) + 256))
        QSKIP("no tmpfs can be mounted here");
    QVERIFY(rig.placeProgram());
    int samples = 0; // what the record holds on disk at the end of the run, at least
    if (fault.contains(u"journal")) {
        const int rows = fault.contains(u"kill") ? RecordStore::MaxSampleRows : 50;
        QFile journal(QDir(rig.records).filePath(QStringLiteral("20261207_024638.journal")));
        QVERIFY(journal.open(QIODevice::WriteOnly) && journal.write(crashedJournal(rows)) > 0);
        samples = 6 * rows;
    }
    if (fault.contains(u"full records")) ProgramRig::fill(rig.records);
    rig.dataRefused = fault.contains(u"data refused");

    // One meter counting up by one, ten readings a second.
    SimulatedMeter counter;
    counter.intervalMs = 100;
    counter.pattern = SimulatedMeter::Pattern::Ramp;
    counter.maximum = 10000;
    counter.periodS = 1000;
    counter.startDelayMs = 0;
    SimulatorOptions options;
    options.statusEveryMs = 1000;
    PtyReceiver receiver;
    QVERIFY(receiver.isValid());
    receiver.start({counter}, options);
    for (QString &arg : args)
        arg.replace(QStringLiteral("%dev"), receiver.devicePath())
            .replace(QStringLiteral("%out"), rig.output);
    rig.start(args);
    QVERIFY(rig.process.waitForStarted());

    if (fault.contains(u"at the staged file")) {
        // Killed while the recovered record is being written.
        QElapsedTimer waited;
        waited.start();
        while (
            QDir(rig.records).entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden).isEmpty() &&
            waited.elapsed() < 20000)
            QThread::usleep(500);
        rig.process.kill();
    } else if (fault.contains(u"kill") || fault.contains(u"term")) {
        QTRY_VERIFY_WITH_TIMEOUT(journalSamples(folder(journalIn)) >= 10, 20000);
        QTest::qWait(700);
        samples = journalSamples(folder(journalIn));
        if (fault.contains(u"kill"))
            rig.process.kill();
        else
            ::kill(pid_t(rig.process.processId()), SIGTERM);
    }
    const int exited = rig.waitForExit();
    QVERIFY2(exited == exitCode, qPrintable(QString::number(exited) + u' ' + rig.said));
    receiver.stop();
    said.replace(QStringLiteral("%records"),
                 QRegularExpression::escape(QFileInfo(rig.records).canonicalFilePath()));
    QVERIFY2(QRegularExpression(said, QRegularExpression::MultilineOption).match(rig.said).hasMatch(),
             qPrintable(rig.said));
    QVERIFY2(journalSamples(folder(journalIn)) >= qMax(samples, 1), qPrintable(rig.said));

    // The next start, the refusing folders as they are (only the per-user folder takes files again).
    rig.dataRefused = false;
    rig.start({QStringLiteral("--quit")});
    QCOMPARE(rig.waitForExit(), 0);
    const QRegularExpressionMatch line =
        QRegularExpression(QStringLiteral("^voltrix: recovered an unsaved record into (.*\\.xlsx)$"),
                           QRegularExpression::MultilineOption)
            .match(rig.said);
    QVERIFY2(line.hasMatch(), qPrintable(rig.said));
    QCOMPARE(QFileInfo(line.captured(1)).absolutePath(), QFileInfo(folder(recoveredIn)).canonicalFilePath());
    QString error;
    const QList<int> values = workbookValues(line.captured(1), &error);
    QVERIFY2(values.size() * (fault.contains(u"journal") ? 6 : 1) >= samples && !values.isEmpty(),
             qPrintable(error));
    for (qsizetype i = 1; i < values.size(); ++i) // in order, none twice, none left out
        QCOMPARE(values.at(i), values.at(i - 1) + 1);
    // Neither the journal nor a staged file a kill left behind stays.
    QCOMPARE(rig.leftOver(rig.records), QStringList());
    QCOMPARE(rig.leftOver(rig.data), QStringList());
}

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
