#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/printing/CurrentPrinter.h"
#include "core/printing/GraphImageExport.h"
#include "core/printing/PrintCommands.h"
#include "core/printing/PrintDialogSeam.h"
#include "core/printing/PrintTexts.h"
#include "core/record/RecordStore.h"
#include "support/GraphStandIn.h"
#include "support/PdfText.h"
#include "support/RecordFixture.h"
#include "support/ScriptedPrompts.h"

namespace
{

const QString FileName = QStringLiteral("261205_151230.xlsx");

QList<PdfPage> printToPdf(const QString &path, const PrintDocument &document)
{
    const QString failure = printToPdfFile(path, document);
    if (!failure.isEmpty()) qWarning("%s", qPrintable(failure));
    return readPdfWords(path);
}

class FakeDialog final : public PrintDialogSeam
{
public:
    bool showPrintDialog(const PrintDialogRequest &request, PrintPageFields &pages) override
    {
        ++shown;
        lastRequest = request;
        if (accept) pages.copies = copies;
        return accept;
    }
    bool accept = true;
    qint16 copies = 1;
    int shown = 0;
    PrintDialogRequest lastRequest;
};

// Prints each copy into a PDF file of its own, as a printer takes one job per copy.
class FakePrinter final : public CurrentPrinter
{
public:
    explicit FakePrinter(const QString &folder) : m_folder(folder) {}
    bool available() const override { return installed; }
    QString print(const PrintDocument &document, int copies) override
    {
        if (!failure.isEmpty()) return failure;
        for (int c = 0; c < copies; ++c) {
            jobs << m_folder + QStringLiteral("/job%1.pdf").arg(jobs.size() + 1);
            printToPdfFile(jobs.last(), document);
        }
        return {};
    }
    bool installed = true;
    QString failure;
    QStringList jobs;

private:
    QString m_folder;
};

// Writes a token file for an SVG, so the saver's choice of writer shows.
class TokenSvg final : public SvgGraphWriter
{
public:
    QString writeSvg(const QString &path, const QSize &, const DrawGraphPage &) override
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("<svg/>") > 0 ? QString() : file.errorString();
    }
};

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;
    FakeDialog m_dialog;
    TokenSvg m_svg;

private Q_SLOTS:
    void init()
    {
        m_prompts.clear();
        m_dialog = FakeDialog();
    }
    void tablePages_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<bool>("titleShown");
        QTest::addColumn<QStringList>("rows"); // first-last index of each page
        QTest::newRow("120 rows, title") << 120 << true << QStringList{"0001-0050", "0051-0100", "0101-0120"};
        QTest::newRow("120 rows, no title")
            << 120 << false << QStringList{"0001-0050", "0051-0100", "0101-0120"};
        // the empty row being filled is the 51st line: a second page with only the heading
        QTest::newRow("50 rows") << 50 << true << QStringList{"0001-0050", "-"};
        QTest::newRow("no samples") << 0 << true << QStringList{"-"};
    }
    void tablePages()
    {
        QFETCH(int, samples);
        QFETCH(bool, titleShown);
        QFETCH(QStringList, rows);
        RecordStore store;
        fillRecord(store, samples);
        const QList<PdfPage> pages = printTable(store, {FileName, titleShown, QStringLiteral("Boiler")});
        QCOMPARE(pages.size(), rows.size());
        for (int p = 0; p < pages.size(); ++p) {
            const PdfPage &page = pages[p];
            QCOMPARE(page.size.toSize(), QSize(842, 595)); // A4 landscape in points
            QCOMPARE(page.lineOf(QStringLiteral("File")),
                     (titleShown ? QStringList{"Boiler"} : QStringList()) +
                         QStringList({"File", "Name", ":", FileName, "Page", ":", QString::number(p + 1)}));
            QCOMPARE(page.lineOf(QStringLiteral("Index")).join(u' '),
                     QStringLiteral("Index Date Time Ch1 Unit Time Ch2 Unit Time Ch3 Unit Time Ch4 Unit Time "
                                    "Ch5 Unit Time Ch6 Unit"));
            const QStringList indexes = page.texts().filter(QRegularExpression(QStringLiteral("^\\d{4}$")));
            QCOMPARE(indexes.isEmpty() ? QStringLiteral("-") : indexes.first() + u'-' + indexes.last(),
                     rows[p]);
        }
    }
    // Where the printouts put their words, in points (20 twips): the table's origin 1000 twips in
    // from the edges, its heading's tabs at 4500 and 11500 twips, each cell at its tab column (one
    // character wide); the graph's picture at (2000, 2600) twips, 13400 x 4500, its footer at
    // (-500, 5650) from there, below the frame's bottom line at 5500.
    void printoutGeometry()
    {
        RecordStore store;
        fillRecord(store, 3);
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            store.setCell(2, column, QStringLiteral("C%1").arg(column));
        const QList<PdfPage> tables = printTable(store, {FileName, true, QStringLiteral("Boiler")});
        const QList<PdfPage> graphs = printToPdf(
            m_dir.filePath(QStringLiteral("graph.pdf")), [](QPainter &painter, QPagedPaintDevice &device) {
                return PrintBmp(painter, device, {FileName, QStringLiteral("2")}, drawStandIn);
            });
        QCOMPARE(tables.size() + graphs.size(), 2);
        const PdfPage &table = tables.first(), &graph = graphs.first();
        const auto box = [](const PdfPage &page, const QString &word) {
            const PdfWord *found = page.find(word);
            return found ? found->box : QRectF();
        };
        QCOMPARE(QList<int>({qRound(box(table, "Index").left()), qRound(box(table, "Boiler").left()),
                             qRound(box(table, "File").left()), qRound(box(graph, "File").left())}),
                 QList<int>({50, 50 + 4500 / 20, 50 + 11500 / 20, (2000 - 500) / 20}));
        QVERIFY(qAbs(box(table, "File").top() - 50) < 3);
        QVERIFY(box(table, "Index").top() > box(table, "File").bottom() - 0.5);
        const QRectF footer = box(graph, "File"), standIn = box(graph, "STANDIN");
        QVERIFY(footer.top() > (2600 + 5500) / 20.0 && footer.top() < (2600 + 5650) / 20.0 + 3);
        QVERIFY(QRectF(100, 130, 670, 225).contains(standIn) && qAbs(standIn.center().x() - 435) < 2);
        const qreal left = box(table, "C0").left();
        const qreal tab = (box(table, "C19").left() - left) / TablePrintout::TabColumns[19];
        QVERIFY2(tab > 2.5 && tab < 4.5, qPrintable(QString::number(tab)));
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            QVERIFY(qAbs(box(table, QStringLiteral("C%1").arg(column)).left() - left -
                         TablePrintout::TabColumns[column] * tab) < 0.5);
        for (const PdfWord &word : table.words)
            QVERIFY2(word.box.right() < table.size.width() - 20, qPrintable(word.text));
    }
    void printCommandRefusals_data()
    {
        QTest::addColumn<bool>("graph");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("message"); // with its title
        QTest::addColumn<Prompts::Icon>("icon");
        const QString noPrinter = PrintTexts::noPrinter() + QStringLiteral("|Printer set up ");
        const auto critical = Prompts::Icon::Critical, warning = Prompts::Icon::Warning;
        QTest::newRow("data, no printer") << false << false << true << 5 << noPrinter << critical;
        QTest::newRow("graph, no printer") << true << false << false << 5 << noPrinter << critical;
        QTest::newRow("data, table hidden")
            << false << true << false << 5 << "Not any record !|Table" << warning;
        QTest::newRow("data, empty record")
            << false << true << true << 0 << "Not any record !|Table" << warning;
        QTest::newRow("graph hidden: nothing")
            << true << true << false << 5 << QString() << Prompts::Icon::None;
    }
    void printCommandRefusals()
    {
        QFETCH(bool, graph);
        QFETCH(bool, installed);
        QFETCH(bool, visible);
        QFETCH(int, samples);
        QFETCH(QString, message);
        FakePrinter printer(m_dir.path());
        printer.installed = installed;
        PrintCommands commands(m_prompts, m_dialog, printer);
        RecordStore store;
        fillRecord(store, samples);
        if (graph)
            commands.printGraph(visible, {FileName, QStringLiteral("1")}, drawStandIn);
        else
            commands.printData(visible, QStringLiteral("Table"), store, {FileName, false, {}});
        QVERIFY(m_dialog.shown == 0 && printer.jobs.isEmpty());
        const ScriptedPrompts::Call call = m_prompts.lastCall();
        QCOMPARE(m_prompts.calls().isEmpty() ? QString() : call.text + u'|' + call.title, message);
        if (!message.isEmpty()) QTEST(call.icon, "icon");
    }
    void printCommandsAskThenPrintCopies()
    {
        FakePrinter printer(m_dir.path());
        PrintCommands commands(m_prompts, m_dialog, printer);
        RecordStore store;
        fillRecord(store, 120);
        m_dialog.accept = false;
        commands.printData(true, QStringLiteral("Table"), store, {FileName, true, QStringLiteral("T")});
        QVERIFY(printer.jobs.isEmpty());
        m_dialog.accept = true;
        m_dialog.copies = 3;
        commands.printData(true, QStringLiteral("Table"), store, {FileName, true, QStringLiteral("T")});
        const PrintDialogRequest &request = m_dialog.lastRequest;
        QCOMPARE(request.kind, PrintDialogRequest::Kind::Print);
        QCOMPARE(request.documentName, FileName); // the print job's name
        QVERIFY(!request.offerPageRange && !request.offerSelection && request.offerPrintToFile);
        const PrintPageFields &fields = request.pages;
        QCOMPARE(QList<qint16>({fields.minPage, fields.maxPage, fields.fromPage, fields.toPage}),
                 QList<qint16>({1, 999, 1, 20}));
        QCOMPARE(printer.jobs.size(), 3);
        for (const QString &job : std::as_const(printer.jobs))
            QCOMPARE(readPdfWords(job).size(), 3);
        QVERIFY(m_prompts.calls().isEmpty());
        // no record file: said once, not once per copy
        commands.printData(true, QStringLiteral("Table"), store, {QString(), true, QStringLiteral("T")});
        QCOMPARE(m_prompts.messageTexts(), QStringList{"Not any record to print!"});
        m_dialog.copies = 2;
        commands.printGraph(true, {FileName, QStringLiteral("4")}, drawStandIn);
        QCOMPARE(printer.jobs.size(), 5);
        QCOMPARE(m_dialog.lastRequest.documentName, QStringLiteral("261205_151230_P4"));
        QCOMPARE(readPdfWords(printer.jobs.last()).size(), 1);
        printer.failure = QStringLiteral("Cannot print to /x.pdf.\nPermission denied");
        commands.printGraph(true, {FileName, QStringLiteral("4")}, drawStandIn);
        QCOMPARE(m_prompts.messageTexts().last(), printer.failure);
    }
    // Save Graph: the name its dialog suggests (the record's name without its extension, at most 13
    // characters, and the page), then with the name the dialog gave (its suffix already chosen), or
    // without a dialog (unattended runs): what is written, or the message.
    void saveGraph_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<bool>("shown"); // the graph window shown, with a record
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("suggested");
        const auto row = [](const char *name, bool dialog, bool shown, const char *chosen, const char *format,
                            const char *message = "", const QString &record = FileName,
                            const char *suggested = "261205_151230_P1") {
            QTest::newRow(name) << dialog << shown << QString::fromUtf8(chosen) << QByteArray(format)
                                << QString::fromUtf8(message) << record << QString::fromUtf8(suggested);
        };
        row("graph hidden or record empty", true, false, "", "", "Not any graph!");
        row("bmp", true, true, "g.bmp", "bmp", "", QStringLiteral("rec1.xlsx"), "rec1_P1");
        row("JPG", true, true, "G.JPG", "jpeg");
        row("png", true, true, "g.png", "png", "", QStringLiteral("pump_station_east.xlsx"),
            "pump_station__P1");
        row("other extension: bitmap", true, true, "g.gif", "bmp");
        row("svg through the svg writer", true, true, "g.svg", "svg");
        row("unwritable", true, true, "missing-folder/g.png", "", "The graph could not be saved to ");
        row("unattended, unwritable", false, true, "missing-folder/u.png", "",
            "The graph could not be saved to ");
        row("unattended, record empty", false, false, "u.png", "", "Not any graph!");
    }
    void saveGraph()
    {
        QFETCH(bool, dialog);
        QFETCH(bool, shown);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QFETCH(QString, record);
        QFETCH(QString, suggested);
        const QString path = m_dir.filePath(chosen);
        QFile::remove(path);
        const GraphImageSource source{shown, !shown, record, "1", QSize(400, 150), m_dir.path()};
        QStringList messages;
        if (dialog) {
            if (shown) m_prompts.queueFileName(path);
            GraphImageSaver(m_prompts, m_svg).saveGraph(source, drawStandIn);
            messages = m_prompts.messageTexts();
            const ScriptedPrompts::Call asked = m_prompts.calls().first();
            if (shown)
                QCOMPARE(
                    asked.title + u'|' + asked.text + u'|' + asked.filter,
                    QStringLiteral("Save File|") + m_dir.filePath(suggested) +
                        QStringLiteral("|BMP Windows Bitmap(*.bmp);;JPEG(*.jpg);;PNG(*.png);;SVG(*.svg)"));
        } else {
            messages << GraphImageExport::saveWithoutDialog(path, source, drawStandIn, m_svg);
            messages.removeAll(QString());
        }
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(messages.first().startsWith(message), qPrintable(messages.first()));
            if (dialog)
                QCOMPARE(m_prompts.lastCall().icon, shown ? Prompts::Icon::Critical : Prompts::Icon::None);
            QVERIFY(!shown ||
                    (messages.first().contains(path + QStringLiteral(".\n")) && !QFile::exists(path)));
            return;
        }
        QVERIFY(QFile::exists(path));
        QFETCH(QByteArray, format);
        if (format == "svg") return;
        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(400, 150));
        QVERIFY(QColor(image.pixel(50, 20)).red() > 200 && QColor(image.pixel(50, 20)).green() < 60);
        QCOMPARE(QColor(image.pixel(350, 130)), QColor(Qt::white));
    }
    // Print Data without dialogs: the table's pages in one PDF file, refused without a record file.
    void unattendedPrintData()
    {
        RecordStore store;
        fillRecord(store, 120);
        const QString file = m_dir.filePath(QStringLiteral("unattended.pdf"));
        QCOMPARE(UnattendedPrint::printData(file, store, {QString(), true, QStringLiteral("T")}),
                 QStringLiteral("Not any record to print!"));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(UnattendedPrint::printData(file, store, {FileName, true, QStringLiteral("T")}), QString());
        QCOMPARE(readPdfWords(file).size(), 3);
    }

private:
    QList<PdfPage> printTable(const RecordStore &store, const TableHeading &heading)
    {
        return printToPdf(m_dir.filePath(QStringLiteral("table.pdf")),
                          [&](QPainter &painter, QPagedPaintDevice &device) {
                              return printTabula(painter, device, store, heading);
                          });
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
