// The program itself killed in the middle of a record: started again, it brings the record
// back from its journal and saves it, every reading up to a second before the kill included.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

#include "core/link/FrameReader.h"
#include "core/record/RecordJournal.h"
#include "core/workbook/XlsxReader.h"
#include "support/PtyReceiver.h"

namespace
{

struct SentReading {
    qint64 atMs;
    int digits;
};

// The program's records folder is its own folder when writable: a link to the program inside
// `folder` keeps this test's records apart from every other run's.
QString programIn(const QDir &folder, QString *error)
{
    const QString app = qEnvironmentVariable("VOLTRIX_APP");
    const QString program = folder.filePath(QStringLiteral("voltrix"));
    if (::link(QFile::encodeName(app).constData(), QFile::encodeName(program).constData()) == 0)
        return program;
    if (QFile::copy(app, program) && QFile::setPermissions(program, QFile::permissions(app))) return program;
    *error = QStringLiteral("cannot place %1 in %2").arg(app, folder.path());
    return {};
}

int journalSamples(const QDir &folder)
{
    const QStringList journals = folder.entryList({QStringLiteral("*.journal")}, QDir::Files);
    if (journals.size() != 1) return 0;
    QFile file(folder.filePath(journals.first()));
    return file.open(QIODevice::ReadOnly) ? RecordJournal::read(file.readAll()).samples : 0;
}

QList<int> workbookValues(const QString &path, QString *error)
{
    SheetCells cells;
    QList<int> values;
    if (!XlsxReader().read(path, &cells, error)) return values;
    for (int row = 8; row <= cells.rowCount(); ++row) {
        // The automatic save keeps the values as the table shows them.
        const SheetCell cell = cells.at(row, 4);
        if (cell.type == SheetCell::Type::Text) values << cell.text.toInt();
        if (cell.type == SheetCell::Type::Number) values << qRound(cell.number);
    }
    return values;
}

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedRecordIsRecovered();
};

void TestCrashRecovery::killedRecordIsRecovered()
{
    if (qEnvironmentVariable("VOLTRIX_APP").isEmpty()) QSKIP("VOLTRIX_APP is not set");
    // Beside the program, so that it can be linked rather than copied.
    QTemporaryDir home(QFileInfo(qEnvironmentVariable("VOLTRIX_APP"))
                           .absoluteDir()
                           .filePath(QStringLiteral("crash-XXXXXX")));
    QVERIFY(home.isValid());
    const QDir folder(home.path());
    QString error;
    const QString program = programIn(folder, &error);
    QVERIFY2(!program.isEmpty(), qPrintable(error));

    // One meter counting up by one, ten readings a second.
    SimulatedMeter counter;
    counter.intervalMs = 100;
    counter.pattern = SimulatedMeter::Pattern::Ramp;
    counter.minimum = 0;
    counter.maximum = 10000;
    counter.periodS = 1000;
    counter.startDelayMs = 0;
    SimulatorOptions options;
    options.statusEveryMs = 1000;
    PtyReceiver receiver;
    QVERIFY(receiver.isValid());
    QElapsedTimer clock;
    clock.start();
    QList<SentReading> sent;
    FrameReader decoder;
    connect(&receiver.simulator(), &ReceiverSimulator::frameSent, this, [&](const QByteArray &frame) {
        decoder.append(frame);
        while (const std::optional<FrameReader::Frame> decoded = decoder.next())
            if (decoded->kind == FrameReader::Frame::Kind::Reading)
                sent.append({clock.elapsed(), decoded->reading.digits});
    });
    receiver.start({counter}, options);

    QProcess recording;
    recording.setProcessEnvironment(isolatedEnvironment(folder));
    recording.setProcessChannelMode(QProcess::ForwardedChannels);
    recording.start(program, {QStringLiteral("--ports"), receiver.devicePath(), QStringLiteral("--record"),
                              QStringLiteral("--duration"), QStringLiteral("60")});
    QVERIFY(recording.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(journalSamples(folder) >= 10, 15000);
    QTest::qWait(2000);
    const qint64 killedAt = clock.elapsed();
    recording.kill();
    QVERIFY(recording.waitForFinished(5000));
    receiver.stop();
    QCOMPARE(folder.entryList({QStringLiteral("*.journal")}, QDir::Files).size(), 1);

    QProcess recovering;
    recovering.setProcessEnvironment(isolatedEnvironment(folder));
    recovering.start(program, {QStringLiteral("--quit")});
    QVERIFY(recovering.waitForFinished(20000));
    const QString said = QString::fromLocal8Bit(recovering.readAllStandardError());
    QCOMPARE(recovering.exitCode(), 0);
    const QRegularExpressionMatch line =
        QRegularExpression(QStringLiteral("^voltrix: recovered an unsaved record into (.*\\.xlsx)$"),
                           QRegularExpression::MultilineOption)
            .match(said);
    QVERIFY2(line.hasMatch(), qPrintable(said));
    const QString workbook = line.captured(1);
    QCOMPARE(QFileInfo(workbook).absolutePath(), QFileInfo(folder.path()).canonicalFilePath());
    QCOMPARE(folder.entryList({QStringLiteral("*.journal")}, QDir::Files), QStringList());

    const QList<int> recorded = workbookValues(workbook, &error);
    QVERIFY2(!recorded.isEmpty(), qPrintable(error));
    // What was recorded is what was sent from the first reading recorded on, in order and
    // without repeats, and reaches at least the last reading sent a second before the kill.
    qsizetype first = 0;
    while (first < sent.size() && sent.at(first).digits != recorded.first())
        ++first;
    QVERIFY2(first < sent.size(), qPrintable(QString::number(recorded.first())));
    for (qsizetype i = 0; i < recorded.size(); ++i) {
        QVERIFY(first + i < sent.size());
        QCOMPARE(recorded.at(i), sent.at(first + i).digits);
    }
    qsizetype due = first;
    while (due < sent.size() && sent.at(due).atMs <= killedAt - 1000)
        ++due;
    QVERIFY2(first + recorded.size() >= due,
             qPrintable(QStringLiteral("%1 readings recorded, %2 sent a second before the kill")
                            .arg(recorded.size())
                            .arg(due - first)));
    QVERIFY(due - first >= 10);
}

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
