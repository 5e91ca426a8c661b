#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

#include "core/acquisition/AcquisitionState.h"
#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/energy/EnergyTable.h"
#include "core/followers/EnergyFollower.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/settings/UserSettings.h"
#include "core/workbook/WorkbookWriter.h"
#include "core/workbook/ZipArchive.h"
#include "support/PtyReceiver.h"
#include "support/RecordFixture.h"
#include "support/RecordingSession.h"

// How a record reaches its workbook.
enum class SavePath { SaveData, FunctionChange, RecoveredJournal, Output, OpenedAndWrittenAgain };
Q_DECLARE_METATYPE(SavePath)

namespace
{

// A session whose saves go to the program's own workbook saver.
struct Recorder : RecordingSession {
    Recorder() { session.setRecordSaver(nullptr); }
    void reading(int channel, int function, int digits, int decimalCode = FrameEncoder::Divisor100)
    {
        feed(FrameEncoder::encodeReading({channel, 0, 3, function, decimalCode, false}, digits));
    }
    RecordStore &record() { return session.record(); }
    WorkbookSaver &saver() { return session.workbookSaver(); }
};

struct Shown {
    QStringList cells;      // every cell of the table, row by row
    QStringList statistics; // per channel: function, unit, average, extremes with times and units
    QStringList channelEntries;
    QString energy; // the energy table of its samples, the DCA channel taking the DCV channel's voltage
};

Shown shownRecord(Recorder &r)
{
    Shown shown;
    const RecordStore &table = r.record();
    for (int row = 0; row < table.gridRowCount(); ++row)
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            shown.cells << table.cell(row, column);
    for (int k = 0; k < 6; ++k) {
        const ChannelStatistics &s = r.session.statistics().channel(k);
        shown.statistics << table.functionCaption[std::size_t(k)]
                         << r.session.state().channels.unit[std::size_t(k)] << s.average << s.maximum.time
                         << s.maximum.text << s.maximum.unit << s.minimum.time << s.minimum.text
                         << s.minimum.unit;
    }
    shown.channelEntries = r.session.monitor().channelEntries;
    EnergyRates rates{100, 1.0, 10};
    rates.voltageChannel[1] = 0;
    shown.energy = EnergyTable::csv(EnergyMeter::ofRecord(table.snapshot(), rates));
    return shown;
}

// `path` written again by another spreadsheet program ("soffice xls"); "" when it is not installed.
QString resaved(const QString &by, const QString &path, const QString &dir)
{
    const QString program = QStandardPaths::findExecutable(by.section(u' ', 0, 0));
    const QString suffix = by.section(u' ', 1);
    if (program.isEmpty() || !QDir(dir).mkpath("again")) return {};
    const QString format = suffix == "xls" ? "xls:MS Excel 97" : "xlsx:Calc MS Excel 2007 XML";
    QProcess process;
    process.start(program, by.startsWith("ssconvert")
                               ? QStringList{path, dir + "/again/bench.xls"}
                               : QStringList{"-env:UserInstallation=file:///tmp/lo-prof-wb", "--headless",
                                             "--convert-to", format, "--outdir", dir + "/again", path});
    process.waitForFinished(120000);
    return dir + "/again/bench." + suffix;
}

// The parts of an .xlsx that hold its cells, their formats and its chart.
QList<QByteArray> sheetAndChart(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const ZipArchive zip(&file);
    QList<QByteArray> parts;
    for (const char *part : {"worksheets/sheet1", "sharedStrings", "styles", "charts/chart1"})
        zip.read(QStringLiteral("xl/%1.xml").arg(part), 1 << 24, &parts.emplace_back());
    return parts;
}

} // namespace

class TestWorkbookWiring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // DCV, DCA and OHM in every divisor, with trailing zeros and overloads: whatever way the
    // record is saved, the workbook opens as the table it was, cell by cell, with its summary.
    void everySaveOpensAsTheRecord_data()
    {
        QTest::addColumn<SavePath>("savePath");
        // "mixed": Ch1 in mV and V; "Ch3" the main channel; "<program> <suffix>": re-saved by it.
        QTest::addColumn<QString>("variant");
        QTest::newRow("Save Data under another name") << SavePath::SaveData << "mixed";
        QTest::newRow("automatic save at a function change") << SavePath::FunctionChange << "";
        QTest::newRow("recovered journal") << SavePath::RecoveredJournal << "";
        QTest::newRow("unattended --output .xlsx") << SavePath::Output << "";
        QTest::newRow("--open, then --output .xlsx") << SavePath::OpenedAndWrittenAgain << "";
        QTest::newRow("--open, then --output: mixed range") << SavePath::OpenedAndWrittenAgain << "mixed";
        QTest::newRow("--open, then --output: main channel Ch3") << SavePath::OpenedAndWrittenAgain << "Ch3";
        QTest::newRow("re-saved by LibreOffice") << SavePath::Output << "soffice xlsx";
        QTest::newRow("re-saved by LibreOffice as .xls") << SavePath::Output << "soffice xls";
        QTest::newRow("re-saved by Gnumeric as .xls") << SavePath::Output << "ssconvert xls";
    }
    void everySaveOpensAsTheRecord()
    {
        QFETCH(SavePath, savePath);
        QFETCH(QString, variant);
        QTemporaryDir dir;
        Recorder recording;
        for (const auto &[key, value] :
             {std::pair{"Power_V", "100"}, {"Power_cos", "1.0"}, {"Power_Unit", "10"}, {"Energy_pair2", "1"}})
            recording.store.save(QLatin1String(key), QLatin1String(value));
        recording.session.userSettings().loadSetup(false);
        recording.start();
        const int codes[] = {FrameEncoder::Divisor1, FrameEncoder::Divisor10, FrameEncoder::Divisor100,
                             FrameEncoder::Divisor1000};
        const int digits[] = {0, 120, 1200, 5, 9999, 100, 7, 3000, 10, 1, 40, 2500};
        for (int i = 0; i < 12; ++i) {
            for (const int function : {0, 2, 4}) { // DCV, DCA, OHM on channels 1..3
                const int prefix = variant == "mixed" && function == 0 && i % 4 < 2 ? 2 : 3;
                const FrameEncoder::Header header{
                    function / 2, 0, prefix, function, codes[(i + function) % 4], i % 3 == 1};
                recording.feed(i == 5 + function ? FrameEncoder::encodeOverload(header)
                                                 : FrameEncoder::encodeReading(header, digits[i]));
            }
            recording.clock.advance(1000);
        }
        recording.session.monitor().selectEntry(variant == "Ch3" ? 2 : 0);
        if (savePath != SavePath::FunctionChange) recording.session.recording().stop();
        const Shown before = shownRecord(recording);
        // The energy kept up sample by sample is the one taken from the whole record.
        QCOMPARE(EnergyTable::csv(recording.session.energy().record()), before.energy);
        QString path = dir.filePath(QStringLiteral("bench.xlsx"));
        QString error;
        std::unique_ptr<Recorder> recovering;
        switch (savePath) {
        case SavePath::SaveData:
            recording.prompts.queueFileName(path);
            recording.session.commandProcs().run(Command::SaveData);
            QCOMPARE(recording.session.monitor().file, QStringLiteral("bench.xlsx"));
            break;
        case SavePath::FunctionChange:
            recording.reading(0, 1, 5);
            recording.saver().waitForSaves();
            path = WorkbookFiles::autoSavePath(AppPaths::recordsFolder(), QStringLiteral("240315_093000"));
            break;
        case SavePath::RecoveredJournal: {
            const QDir folder(AppPaths::recordsFolder());
            const QString journal = folder.filePath(QStringLiteral("20240315_093000.journal"));
            recovering = std::make_unique<Recorder>();
            QVERIFY(QFile::copy(journal,
                                QDir(AppPaths::recordsFolder()).filePath(QFileInfo(journal).fileName())));
            QSignalSpy recovered(&recovering->session.recovery(), &RecordRecovery::recordRecovered);
            recovering->session.recovery().recoverAll(RecordRecovery::Asking::DoNotAsk);
            recovering->saver().waitForSaves();
            QCOMPARE(recovered.size(), 1);
            path = recovered.at(0).at(0).toString();
            break;
        }
        case SavePath::Output:
        case SavePath::OpenedAndWrittenAgain:
            QVERIFY2(recording.saver().saveAs(&path, &error), qPrintable(error));
            break;
        }
        if (savePath == SavePath::Output || savePath == SavePath::SaveData) {
            // Saved: neither the next command nor the window's closing asks about it.
            recording.prompts.clear();
            QVERIFY(recording.session.recording().reAutoSave());
            QCOMPARE(recording.prompts.calls().size(), 0);
            QVERIFY(QFile::exists(recording.saver().savedPathFor(QStringLiteral("bench.xlsx"))));
        }
        if (variant.contains(u' ') && (path = resaved(variant, path, dir.path())).isEmpty())
            QSKIP("LibreOffice (soffice) or Gnumeric (ssconvert) is not installed");
        if (savePath == SavePath::OpenedAndWrittenAgain) { // by the program, without a window
            const QString app = isolatedProgram(QDir(dir.path()));
            if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
            QProcess program;
            program.setProcessEnvironment(isolatedEnvironment(QDir(dir.path())));
            const QString again = dir.filePath(QStringLiteral("again.xlsx"));
            program.start(app, {"--open", path, "--output", again, "--quit"});
            QVERIFY(program.waitForFinished(30000));
            QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
            // The same workbook again: its cells, their formats and the chart.
            QCOMPARE(sheetAndChart(again), sheetAndChart(path));
            path = again;
        }
        Recorder viewer;
        QVERIFY(viewer.session.openRecord().open(path));
        const Shown after = shownRecord(viewer);
        QCOMPARE(after.cells, before.cells);
        QCOMPARE(after.statistics, before.statistics);
        QCOMPARE(after.channelEntries, before.channelEntries);
        QCOMPARE(after.energy, before.energy);
        const MonitorFields &monitor = viewer.session.monitor();
        QCOMPARE(monitor.file, QFileInfo(path).fileName());
        QCOMPARE(viewer.record().stamp(), monitor.file);
        QCOMPARE(monitor.receivedChannels, QStringLiteral("3"));
        QCOMPARE(viewer.session.state().main.channel, qint16(variant == "Ch3" ? 2 : 0));
        QCOMPARE(monitor.type, QString(variant == "Ch3" ? "OHM" : "DCV"));
        // Opened, the record is kept already: no save question; Save Data and power stay off.
        QVERIFY(QFile::exists(viewer.saver().savedPathFor(monitor.file)));
        QVERIFY(!viewer.session.commands().isEnabled(MenuItem::SaveData));
        QVERIFY(!viewer.session.commands().isEnabled(ToolbarButton::Power));
        QVERIFY(viewer.session.commands().isEnabled(MenuItem::Open));
        // The next Open closes no window: a window the user hid stays hidden, the others shown.
        QCOMPARE(viewer.session.state().resetPending, ResetPending::OpenedRecord);
        viewer.session.windows().setShown(ChildWindow::Graph, false);
        viewer.session.openRecord().run();
        QVERIFY(!viewer.session.windows().isShown(ChildWindow::Graph));
        QVERIFY(viewer.session.windows().isShown(ChildWindow::Table));
        if (savePath != SavePath::Output || !variant.isEmpty()) return;
        // Another reader finds the summary's figures of channels 1..3 as numbers with their decimals.
        QProcess python;
        python.start("/usr/bin/python3",
                     {"-c",
                      "import sys, openpyxl\nsheet = openpyxl.load_workbook(sys.argv[1]).active\n"
                      "print(*(f'{c.value!r}:{c.number_format}' for r in sheet['D3:J5'] for c in r[::3]))",
                      path});
        if (!python.waitForFinished(60000) || python.exitCode() != 0) QSKIP("no python3 with openpyxl");
        QCOMPARE(python.readAllStandardOutput(),
                 "-908.157:0.000 119.8:0.0 -907.257:0.000 12:0.00 1200:0 12:0.00 "
                 "-9999:0 -99.99:0.00 -9999:0\n");
    }
    // Open clears the table: a record not saved yet is offered first, and stays when its save
    // is cancelled.
    void openOffersToSaveTheRecordFirst_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("not saved") << false;
        QTest::newRow("save cancelled") << true;
    }
    void openOffersToSaveTheRecordFirst()
    {
        QFETCH(bool, save);
        Recorder recording;
        recording.start();
        recording.reading(0, 0, 1234);
        recording.reading(0, 0, 1235);
        recording.session.recording().stop();
        recording.prompts.clear();
        recording.prompts.queueAnswer(save ? Prompts::Answer::Yes : Prompts::Answer::No);
        recording.session.commandProcs().run(Command::Open);
        const QList<ScriptedPrompts::Call> calls = recording.prompts.calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).text,
                 QStringLiteral("(240315_093000.xlsx).  This record didn't saved ! Do you want to save?"));
        QCOMPARE(calls.at(1).kind, save ? ScriptedPrompts::Kind::SaveFile : ScriptedPrompts::Kind::OpenFile);
        if (!save) {
            QCOMPARE(calls.at(1).title, QStringLiteral("Open File"));
            QCOMPARE(calls.at(1).filter,
                     QStringLiteral("Excel File(*.xlsx *.xls);;Excel 2007 File(*.xlsx);;Excel "
                                    "97-2003 File(*.xls)"));
        }
        QCOMPARE(recording.record().cell(1, 3).isEmpty(), !save);
        QCOMPARE(recording.session.state().resetPending, ResetPending::Idle);
    }
    void openFailuresLeaveAnEmptyTable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank") << QByteArray() << " This file is blank !";
        QTest::newRow("damaged xls") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                            QByteArray(600, '\0')
                                     << "Cannot open \"bad.xlsx\": its document structure is damaged.";
        // Reading a pipe would wait for a writer for ever.
        QTest::newRow("named pipe") << QByteArray("<fifo>") << "Cannot open \"bad.xlsx\": it is not a file.";
    }
    void openFailuresLeaveAnEmptyTable()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.xlsx"));
        QFile file(path);
        if (content == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        Recorder viewer;
        viewer.prompts.queueFileName(path);
        viewer.session.openRecord().run();
        QCOMPARE(viewer.prompts.messageTexts(), QStringList{message});
        QCOMPARE(viewer.record().gridRowCount(), 2);
        QVERIFY(viewer.session.monitor().file.isEmpty());
        QVERIFY(viewer.session.monitor().channelEntries.isEmpty());
    }
    void saveDataAsksAndSays_data()
    {
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<bool>("tableShown");
        QTest::addColumn<QString>("fileName"); // "" cancels the dialog
        QTest::addColumn<QString>("message");  // the last message, "" for none
        QTest::addColumn<QString>("written");  // the file that must exist afterwards
        QTest::newRow("no record") << false << true << QString() << "Not any record!" << QString();
        QTest::newRow("table hidden") << true << false << QString() << "Not any record!" << QString();
        QTest::newRow("cancelled") << true << true << QString() << QString() << QString();
        QTest::newRow("csv") << true << true << "t.csv" << QString() << "t.csv";
        QTest::newRow("workbook without suffix") << true << true << "t" << QString() << "t.xlsx";
        QTest::newRow("unwritable") << true << true << "missing/t.xlsx"
                                    << "The record was not saved (" << QString();
    }
    void saveDataAsksAndSays()
    {
        QFETCH(bool, recorded);
        QFETCH(bool, tableShown);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        QFETCH(QString, written);
        QTemporaryDir dir;
        Recorder recording;
        recording.start();
        if (recorded) {
            recording.reading(0, 0, 1234);
            recording.reading(0, 0, 1235);
        }
        recording.session.recording().stop();
        recording.prompts.clear();
        recording.session.windows().setShown(ChildWindow::Table, tableShown);
        if (!fileName.isEmpty()) recording.prompts.queueFileName(dir.filePath(fileName));
        recording.session.commandProcs().run(Command::SaveData);
        const QStringList messages = recording.prompts.messageTexts();
        if (message.isEmpty())
            QVERIFY2(messages.isEmpty(), qPrintable(messages.join('|')));
        else
            QVERIFY2(!messages.isEmpty() && messages.last().startsWith(message),
                     qPrintable(messages.join('|')));
        if (recorded && tableShown) {
            const ScriptedPrompts::Call dialog = recording.prompts.calls().first();
            QCOMPARE(dialog.kind, ScriptedPrompts::Kind::SaveFile);
            QCOMPARE(dialog.title, QStringLiteral("Save File"));
            QCOMPARE(dialog.filter, QStringLiteral("Excel File(*.xlsx);;CSV File(*.csv)"));
            QCOMPARE(QFileInfo(dialog.text).fileName(), QStringLiteral("240315_093000"));
        }
        QFile file(dir.filePath(written));
        if (!written.isEmpty()) QVERIFY(file.open(QIODevice::ReadOnly));
        if (written.endsWith(".csv")) QCOMPARE(file.readAll(), CsvExport::toCsv(recording.record()));
    }
    // A full table splits the record: every reading is in the saved workbook or in the new
    // record, none twice, also the readings waiting behind the one that filled the table. The
    // records folder cannot take the file here (tst_endtoend's split shows the one that can):
    // the per-user folder does, and the user is told where it went.
    void splitKeepsEveryReading()
    {
        QTemporaryDir fallback;
        Recorder recording;
        recording.saver().setFallbackFolder(fallback.path());
        recording.start();
        const QString folder = AppPaths::recordsFolder();
        AppPaths::setRecordsFolderOverride(QStringLiteral("/dev/null/records"));
        constexpr int Readings = RecordStore::MaxSampleRows + 20;
        QStringList fed;
        QByteArray waiting; // the frames around the split arrive together
        for (int i = 0; i < Readings; ++i) {
            const int digits = 1 + i % 9000;
            const QByteArray frame =
                FrameEncoder::encodeReading({0, 0, 3, 0, FrameEncoder::Divisor1, false}, digits);
            if (i < RecordStore::MaxSampleRows - 3)
                recording.feed(frame);
            else
                waiting += frame;
            fed << QString::number(digits);
        }
        recording.feed(waiting);
        recording.saver().waitForSaves();
        AppPaths::setRecordsFolderOverride(folder);
        const QString saved = WorkbookFiles::autoSavePath(fallback.path(), QStringLiteral("240315_093000"));
        QVERIFY2(QFile::exists(saved), qPrintable(saved));
        QCOMPARE(workbookValues(saved, 0) + tableValues(recording.record(), 0), fed);
        QVERIFY(recording.session.status().running());
        const QStringList messages = recording.prompts.messageTexts();
        QVERIFY2(messages.size() == 1 && messages.first().endsWith(QDir::toNativeSeparators(saved) + u'.'),
                 qPrintable(messages.join('|')));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookWiring)
#include "tst_workbookwiring.moc"
