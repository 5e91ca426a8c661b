#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <xlsxwriter.h>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/commands/OpenRecord.h"
#include "core/common/AppPaths.h"
#include "core/common/NumberFormat.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/workbook/WorkbookImport.h"
#include "core/workbook/WorkbookWriter.h"
#include "core/workbook/XlsReader.h"
#include "core/workbook/XlsxReader.h"
#include "support/RecordFixture.h"
#include "support/RecordingSession.h"

namespace
{

const QString ValuePicture = QStringLiteral("###0.0####");

// A session whose saves go to the program's own workbook saver.
struct Recorder : RecordingSession {
    Recorder() { session.setRecordSaver(nullptr); }
    void reading(int channel, int function, int digits, int decimalCode = FrameEncoder::Divisor100)
    {
        feed(FrameEncoder::encodeReading({channel, 0, 3, function, decimalCode, false}, digits));
    }
    RecordStore &record() { return session.record(); }
};

// A copy of a sheet as an .xlsx workbook, each number keeping what its format says it is.
bool writeXlsx(const SheetCells &cells, const QString &path)
{
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *time = workbook_add_format(book);
    format_set_num_format(time, "hh:mm:ss");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy/mm/dd");
    lxw_format *dateTime = workbook_add_format(book);
    format_set_num_format(dateTime, "yyyy/mm/dd hh:mm:ss");
    for (int r = 1; r <= cells.rowCount(); ++r)
        for (int c = 1; c <= cells.columnCount(); ++c) {
            const SheetCell cell = cells.at(r, c);
            switch (cell.type) {
            case SheetCell::Type::Empty:
                break;
            case SheetCell::Type::Text:
            case SheetCell::Type::Error:
                worksheet_write_string(sheet, r - 1, c - 1, cell.text.toUtf8().constData(), nullptr);
                break;
            case SheetCell::Type::Boolean:
                worksheet_write_boolean(sheet, r - 1, c - 1, int(cell.number), nullptr);
                break;
            case SheetCell::Type::Number: {
                lxw_format *format = cell.format == SheetCell::NumberFormat::Time       ? time
                                     : cell.format == SheetCell::NumberFormat::Date     ? date
                                     : cell.format == SheetCell::NumberFormat::DateTime ? dateTime
                                                                                        : nullptr;
                worksheet_write_number(sheet, r - 1, c - 1, cell.number, format);
            }
            }
        }
    return workbook_close(book) == LXW_NO_ERROR;
}

} // namespace

class TestWorkbookWiring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A recording saved by Save Data and opened again shows the same table, captions, channel
    // list and statistics; the table's values come back in the import's one-to-five-decimals
    // form, the statistics' texts as they were shown.
    void savedRecordOpensAgain()
    {
        Recorder recording;
        recording.start();
        for (int i = 0; i < 12; ++i) {
            recording.reading(0, 0, 1200 + 7 * i);          // DCV
            recording.reading(3, 2, 500 + (i % 3) * 25, 4); // ACA, one decimal
            recording.clock.advance(1000);
        }
        recording.session.recording().stop();
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("round"));
        QString error;
        QVERIFY2(recording.session.workbookSaver().saveAs(&path, &error), qPrintable(error));
        QCOMPARE(path, dir.filePath(QStringLiteral("round.xlsx")));

        Recorder viewer;
        QVERIFY(viewer.session.openRecord().open(path));
        const RecordStore &before = recording.record();
        const RecordStore &after = viewer.record();
        QCOMPARE(after.gridRowCount(), before.gridRowCount());
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            QCOMPARE(after.cell(0, column), before.cell(0, column));
        for (int row = 1; row < before.gridRowCount() - 1; ++row)
            for (int column = 0; column < RecordStore::ColumnCount; ++column) {
                const QString expected =
                    column >= 3 && column % 3 == 0
                        ? NumberFormat::formatText(before.cell(row, column), ValuePicture)
                        : before.cell(row, column);
                QCOMPARE(after.cell(row, column), expected);
            }
        const MonitorFields &monitor = viewer.session.monitor();
        QCOMPARE(monitor.channelEntries, recording.session.monitor().channelEntries);
        QCOMPARE(monitor.file, QStringLiteral("round.xlsx"));
        QCOMPARE(monitor.receivedChannels, QStringLiteral("2"));
        QCOMPARE(viewer.session.state().mainChannel, qint16(0));
        QCOMPARE(monitor.type, QStringLiteral("DCV"));
        for (int k : {0, 3}) {
            QCOMPARE(after.functionCaption[k], before.functionCaption[k]);
            QCOMPARE(viewer.session.state().channelUnit[k], recording.session.state().channelUnit[k]);
            const ChannelStatistics &was = recording.session.statistics().channel(k);
            const ChannelStatistics &is = viewer.session.statistics().channel(k);
            QCOMPARE(is.average, was.average);
            QCOMPARE(is.maximum.text, was.maximum.text);
            QCOMPARE(is.minimum.text, was.minimum.text);
            QCOMPARE(is.maximum.time, was.maximum.time);
            QCOMPARE(is.minimum.time, was.minimum.time);
            QCOMPARE(is.maximum.unit, was.maximum.unit);
        }
        // Opened, the record counts as kept: no save question; Save Data stays off.
        QVERIFY(QFile::exists(viewer.session.workbookSaver().savedPathFor(monitor.file)));
        QVERIFY(!viewer.session.commands().isEnabled(MenuItem::SaveData));
        QVERIFY(!viewer.session.commands().isEnabled(ToolbarButton::Power));
        QVERIFY(viewer.session.commands().isEnabled(MenuItem::Open));
        QCOMPARE(viewer.session.state().resetPending, qint16(5));
    }

    // The reader of the older format gives the record its .xlsx copy gives.
    void xlsFixturesOpenAsTheirXlsx_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("1900 dates") << QStringLiteral("record-1900");
        QTest::newRow("1904 dates") << QStringLiteral("record-1904");
    }
    void xlsFixturesOpenAsTheirXlsx()
    {
        QFETCH(QString, name);
        const QString xls = QFINDTESTDATA(QStringLiteral("data/xls/%1.xls").arg(name));
        SheetCells cells;
        QString error;
        QVERIFY2(XlsReader().read(xls, &cells, &error), qPrintable(error));
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(name + QStringLiteral(".xlsx"));
        QVERIFY(writeXlsx(cells, xlsx));

        Recorder fromXls;
        Recorder fromXlsx;
        QVERIFY(fromXls.session.openRecord().open(xls));
        QVERIFY(fromXlsx.session.openRecord().open(xlsx));
        const RecordStore &a = fromXls.record();
        const RecordStore &b = fromXlsx.record();
        QVERIFY(a.gridRowCount() > 2);
        QCOMPARE(a.gridRowCount(), b.gridRowCount());
        for (int row = 0; row < a.gridRowCount(); ++row)
            for (int column = 0; column < RecordStore::ColumnCount; ++column)
                QCOMPARE(a.cell(row, column), b.cell(row, column));
        QCOMPARE(a.functionCaption, b.functionCaption);
        QCOMPARE(fromXls.session.monitor().channelEntries, fromXlsx.session.monitor().channelEntries);
        QCOMPARE(fromXls.session.monitor().type, fromXlsx.session.monitor().type);
        for (int k = 0; k < 6; ++k) {
            QCOMPARE(fromXls.session.statistics().channel(k).average,
                     fromXlsx.session.statistics().channel(k).average);
            QCOMPARE(fromXls.session.statistics().channel(k).maximum.time,
                     fromXlsx.session.statistics().channel(k).maximum.time);
        }
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
        QCOMPARE(recording.session.state().resetPending, qint16(5));
    }

    void openFailuresLeaveAnEmptyTable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank") << QByteArray() << " This file is blank !";
        QTest::newRow("not a workbook")
            << QByteArray("Index,Date\r\n") << "Cannot open \"bad.xlsx\": it is not an .xlsx workbook.";
        QTest::newRow("damaged xls") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                            QByteArray(600, '\0')
                                     << "Cannot open \"bad.xlsx\": its document structure is damaged.";
    }
    void openFailuresLeaveAnEmptyTable()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.xlsx"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
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
        if (!written.isEmpty()) QVERIFY(QFile::exists(dir.filePath(written)));
        if (written.endsWith(QLatin1String(".csv"))) {
            QFile csv(dir.filePath(written));
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll(), CsvExport::toCsv(recording.record()));
        }
    }

    // A full table splits the record: every reading is in the saved workbook or in the new
    // record, none twice, also the readings waiting behind the one that filled the table, and
    // also when the records folder cannot take the file.
    void splitKeepsEveryReading_data()
    {
        QTest::addColumn<bool>("recordsFolderWritable");
        QTest::newRow("records folder") << true;
        QTest::newRow("per-user folder") << false;
    }
    void splitKeepsEveryReading()
    {
        QFETCH(bool, recordsFolderWritable);
        QTemporaryDir fallback;
        Recorder recording;
        recording.session.workbookSaver().setFallbackFolder(fallback.path());
        recording.start();
        const QString folder = AppPaths::recordsFolder();
        if (!recordsFolderWritable) AppPaths::setRecordsFolderOverride(QStringLiteral("/dev/null/records"));
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
        recording.session.workbookSaver().waitForSaves();
        const QString saved = WorkbookFiles::autoSavePath(recordsFolderWritable ? folder : fallback.path(),
                                                          QStringLiteral("240315_093000"));
        QVERIFY2(QFile::exists(saved), qPrintable(saved));
        const QStringList first = workbookValues(saved, 0);
        QCOMPARE(first + tableValues(recording.record(), 0), fed);
        QVERIFY(recording.session.status().running());
        const QStringList messages = recording.prompts.messageTexts();
        if (recordsFolderWritable)
            QVERIFY(messages.isEmpty());
        else
            QVERIFY2(messages.size() == 1 &&
                         messages.first().endsWith(QDir::toNativeSeparators(saved) + u'.'),
                     qPrintable(messages.join('|')));
        AppPaths::setRecordsFolderOverride(folder);
    }

    // The program converts a workbook into the table's CSV without a window.
    void commandLineConvertsAWorkbook()
    {
        const QString app = qEnvironmentVariable("VOLTRIX_APP");
        if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
        QTemporaryDir dir;
        Recorder recording;
        recording.start();
        for (int i = 0; i < 5; ++i)
            recording.reading(0, 0, 1200 + i);
        recording.session.recording().stop();
        QString workbook = dir.filePath(QStringLiteral("in.xlsx"));
        QString error;
        QVERIFY2(recording.session.workbookSaver().saveAs(&workbook, &error), qPrintable(error));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        program.setProcessEnvironment(env);
        const QString output = dir.filePath(QStringLiteral("out.csv"));
        program.start(app, {QStringLiteral("--open"), workbook, QStringLiteral("--output"), output,
                            QStringLiteral("--quit")});
        QVERIFY(program.waitForFinished(30000));
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());

        Recorder viewer;
        QVERIFY(viewer.session.openRecord().open(workbook));
        QFile csv(output);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), CsvExport::toCsv(viewer.record()));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookWiring)
#include "tst_workbookwiring.moc"
