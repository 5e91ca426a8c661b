#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/printing/CurrentPrinter.h"
#include "core/printing/GraphImageExport.h"
#include "core/printing/PrintCommands.h"
#include "core/printing/PrintTexts.h"
#include "core/printing/cPrnDlg.h"
#include "core/record/RecordStore.h"
#include "support/PdfText.h"
#include "support/RecordFixture.h"
#include "support/ScriptedPrompts.h"

namespace
{

const QString FileName = QStringLiteral("261205_151230.xlsx");

// Stands in for the graph's drawing routine: a frame, a red block and a word, all scaled to
// the target.
void drawStandIn(QPainter &painter, const QRectF &target)
{
    painter.save();
    painter.setPen(QPen(Qt::blue, 0));
    painter.drawRect(target.adjusted(1, 1, -1, -1));
    painter.fillRect(QRectF(target.topLeft(), target.size() / 2), Qt::red);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qMax(1, int(target.height() / 10)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(target, Qt::AlignCenter, QStringLiteral("STANDIN"));
    painter.restore();
}

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
        if (!accept) return false;
        pages.copies = copies;
        return true;
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
            const QString path = m_folder + QStringLiteral("/job%1.pdf").arg(jobs.size() + 1);
            printToPdfFile(path, document);
            jobs << path;
        }
        return {};
    }
    bool installed = true;
    QString failure;
    QStringList jobs;

private:
    QString m_folder;
};

class NoSvg final : public SvgGraphWriter
{
public:
    QString writeSvg(const QString &, const QSize &, const DrawGraphPage &) override { return {}; }
};

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void printDialogFields();
    void printDialogRequest_data();
    void printDialogRequest();

    void tablePages_data();
    void tablePages();
    void tableColumnsAtTabStops();
    void graphPageFooterBelowFrame();

    void printCommandRefusals_data();
    void printCommandRefusals();
    void printDataAsksDialogThenPrintsCopies();
    void printGraphPrintsCopiesOrSaysWhyNot();

    void suggestedGraphName();
    void saveGraphRefusals_data();
    void saveGraphRefusals();
    void saveGraphFormats_data();
    void saveGraphFormats();
    void saveGraphReplaceQuestionForAddedExtension();
    void saveGraphUnwritablePathIsReported();

    void unattendedOutputs_data();
    void unattendedOutputs();

private:
    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;
};

void TestPrinting::init()
{
    m_prompts.clear();
    m_prompts.setStrict(true);
}

void TestPrinting::printDialogFields()
{
    FakeDialog dialog;
    cPrnDlg prn(dialog);
    QCOMPARE(prn.MinPage(), qint16(1));
    QCOMPARE(prn.MaxPage(), qint16(9999));
    QCOMPARE(prn.FromPage(), qint16(0));
    QCOMPARE(prn.ToPage(), qint16(0));
    QCOMPARE(prn.Copies(), qint16(0));
    QCOMPARE(prn.Style(), 0);
    prn.setPrintFlag(21, cPrnDlg::NoSelection);
    prn.setPrintFlag(-1, cPrnDlg::NoSelection);
    QCOMPARE(prn.PrintFlag(21), 0);
    QCOMPARE(prn.dialogFlags(), 0);
}

void TestPrinting::printDialogRequest_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("pageRange");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<bool>("printToFile");
    QTest::addColumn<int>("range");

    const int print = int(PrintDialogRequest::Kind::Print);
    const int setup = int(PrintDialogRequest::Kind::PageSetup);
    const int all = int(PrintDialogRequest::Range::All);
    QTest::newRow("no flags") << 0 << QList<int>{} << print << true << true << true << all;
    QTest::newRow("print commands") << 0 << QList<int>{0, 0, 0, 8, 4} << print << false << false << true
                                    << all;
    QTest::newRow("hidden print to file")
        << 0 << QList<int>{0, 0, 0x100000} << print << true << true << false << all;
    QTest::newRow("page range chosen")
        << 0 << QList<int>{2} << print << true << true << true << int(PrintDialogRequest::Range::PageRange);
    QTest::newRow("selection not offered") << 0 << QList<int>{1, 4} << print << true << false << true << all;
    QTest::newRow("style 1 ignores the flags")
        << 1 << QList<int>{0, 0, 0x100000, 8, 4} << setup << true << true << true << all;
}

void TestPrinting::printDialogRequest()
{
    QFETCH(int, style);
    QFETCH(QList<int>, flags);
    FakeDialog dialog;
    cPrnDlg prn(dialog);
    prn.setStyle(style);
    for (int i = 0; i < flags.size(); ++i)
        prn.setPrintFlag(i, flags[i]);
    QFETCH(int, kind);
    QFETCH(bool, pageRange);
    QFETCH(bool, selection);
    QFETCH(bool, printToFile);
    QFETCH(int, range);
    const PrintDialogRequest request = prn.request();
    QCOMPARE(int(request.kind), kind);
    QCOMPARE(request.offerPageRange, pageRange);
    QCOMPARE(request.offerSelection, selection);
    QCOMPARE(request.offerPrintToFile, printToFile);
    QCOMPARE(int(request.range), range);
    if (style == 1) QCOMPARE(prn.dialogFlags(), qint32(cPrnDlg::PrintSetup));
}

void TestPrinting::tablePages_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("titleShown");
    QTest::addColumn<QStringList>("firstRows");
    QTest::addColumn<QStringList>("lastRows");

    QTest::newRow("120 rows, title") << 120 << true << QStringList{"0001", "0051", "0101"}
                                     << QStringList{"0050", "0100", "0120"};
    QTest::newRow("120 rows, no title")
        << 120 << false << QStringList{"0001", "0051", "0101"} << QStringList{"0050", "0100", "0120"};
    // the empty row being filled is the 51st line: a second page with only the heading
    QTest::newRow("50 rows") << 50 << true << QStringList{"0001", {}} << QStringList{"0050", {}};
    QTest::newRow("no samples") << 0 << true << QStringList{QString()} << QStringList{QString()};
}

void TestPrinting::tablePages()
{
    QFETCH(int, samples);
    QFETCH(bool, titleShown);
    QFETCH(QStringList, firstRows);
    QFETCH(QStringList, lastRows);
    RecordStore store;
    fillRecord(store, samples);
    const TableHeading heading{FileName, titleShown, QStringLiteral("Boiler")};
    const QString path = m_dir.filePath(QStringLiteral("table.pdf"));
    const QList<PdfPage> pages = printToPdf(path, [&](QPainter &painter, QPagedPaintDevice &device) {
        return printTabula(painter, device, store, heading);
    });
    QCOMPARE(pages.size(), firstRows.size());
    for (int p = 0; p < pages.size(); ++p) {
        const PdfPage &page = pages[p];
        QCOMPARE(qRound(page.size.width()), 842); // A4 landscape in points
        QCOMPARE(qRound(page.size.height()), 595);
        const QStringList title = titleShown ? QStringList{"Boiler"} : QStringList();
        QCOMPARE(page.lineOf(QStringLiteral("File")),
                 title + QStringList({"File", "Name", ":", FileName, "Page", ":", QString::number(p + 1)}));
        QCOMPARE(page.find(QStringLiteral("Boiler")) != nullptr, titleShown);
        QCOMPARE(
            page.lineOf(QStringLiteral("Index")),
            QStringList({"Index", "Date", "Time", "Ch1",  "Unit", "Time", "Ch2",  "Unit", "Time", "Ch3",
                         "Unit",  "Time", "Ch4",  "Unit", "Time", "Ch5",  "Unit", "Time", "Ch6",  "Unit"}));
        const QStringList indexes = page.texts().filter(QRegularExpression(QStringLiteral("^\\d{4}$")));
        QCOMPARE(indexes.value(0), firstRows[p]);
        QCOMPARE(indexes.isEmpty() ? QString() : indexes.last(), lastRows[p]);
        QVERIFY(indexes.size() <= TablePrintout::RowsPerPage);
    }
}

void TestPrinting::tableColumnsAtTabStops()
{
    RecordStore store;
    fillRecord(store, 3);
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        store.setCell(2, column, QStringLiteral("C%1").arg(column));
    const QString path = m_dir.filePath(QStringLiteral("tabs.pdf"));
    const QList<PdfPage> pages = printToPdf(path, [&](QPainter &painter, QPagedPaintDevice &device) {
        return printTabula(painter, device, store, {FileName, true, QStringLiteral("Boiler")});
    });
    QCOMPARE(pages.size(), 1);
    const PdfPage &page = pages.first();

    // origin 1000 twips = 50 points from the left and top edges
    QCOMPARE(qRound(page.find(QStringLiteral("Index"))->box.left()), 50);
    QVERIFY(qAbs(page.find(QStringLiteral("File"))->box.top() - 50) < 3);
    QCOMPARE(qRound(page.find(QStringLiteral("File"))->box.left()), 50 + 11500 / 20);
    QCOMPARE(qRound(page.find(QStringLiteral("Boiler"))->box.left()), 50 + 4500 / 20);
    QVERIFY(page.find(QStringLiteral("Index"))->box.top() >
            page.find(QStringLiteral("File"))->box.bottom() - 0.5);

    // every cell at its tab column, a tab column being one character wide
    const qreal left = page.find(QStringLiteral("C0"))->box.left();
    const qreal tab = (page.find(QStringLiteral("C19"))->box.left() - left) / TablePrintout::TabColumns[19];
    QVERIFY2(tab > 2.5 && tab < 4.5, qPrintable(QString::number(tab)));
    for (int column = 0; column < RecordStore::ColumnCount; ++column) {
        const PdfWord *word = page.find(QStringLiteral("C%1").arg(column));
        QVERIFY(word);
        QVERIFY(qAbs(word->box.left() - left - TablePrintout::TabColumns[column] * tab) < 0.5);
    }
    for (const PdfWord &word : page.words)
        QVERIFY2(word.box.right() < page.size.width() - 20, qPrintable(word.text));
}

void TestPrinting::graphPageFooterBelowFrame()
{
    const QString path = m_dir.filePath(QStringLiteral("graph.pdf"));
    const QList<PdfPage> pages = printToPdf(path, [](QPainter &painter, QPagedPaintDevice &device) {
        return PrintBmp(painter, device, {FileName, QStringLiteral("2")}, drawStandIn);
    });
    QCOMPARE(pages.size(), 1);
    const PdfPage &page = pages.first();

    // The stand-in's word is vector text inside the picture rectangle, (2000, 2600) twips from
    // the edges, 13400 x 4500 twips.
    const PdfWord *standIn = page.find(QStringLiteral("STANDIN"));
    QVERIFY(standIn);
    QVERIFY(QRectF(100, 130, 670, 225).contains(standIn->box));
    QVERIFY(qAbs(standIn->box.center().x() - (100 + 670 / 2.0)) < 2);

    // footer at (-500, 5650): below the frame's bottom line at 5500
    QCOMPARE(page.lineOf(QStringLiteral("File")),
             QStringList({"File", "Name", ":", FileName, "Page", ":", "2"}));
    const PdfWord *file = page.find(QStringLiteral("File"));
    QCOMPARE(qRound(file->box.left()), (2000 - 500) / 20);
    QVERIFY(file->box.top() > (2600 + 5500) / 20.0);
    QVERIFY(file->box.top() < (2600 + 5650) / 20.0 + 3);
}

void TestPrinting::printCommandRefusals_data()
{
    QTest::addColumn<bool>("graph");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");

    const int critical = int(Prompts::Icon::Critical);
    const int warning = int(Prompts::Icon::Warning);
    QTest::newRow("data, no printer")
        << false << false << true << 5 << PrintTexts::noPrinter() << "Printer set up " << critical;
    QTest::newRow("graph, no printer")
        << true << false << false << 5 << PrintTexts::noPrinter() << "Printer set up " << critical;
    QTest::newRow("data, table hidden") << false << true << false << 5 << "Not any record !"
                                        << "Table" << warning;
    QTest::newRow("data, empty record") << false << true << true << 0 << "Not any record !"
                                        << "Table" << warning;
    QTest::newRow("graph hidden: nothing") << true << true << false << 5 << QString() << QString() << 0;
}

void TestPrinting::printCommandRefusals()
{
    QFETCH(bool, graph);
    QFETCH(bool, installed);
    QFETCH(bool, visible);
    QFETCH(int, samples);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(int, icon);
    FakeDialog dialog;
    FakePrinter printer(m_dir.path());
    printer.installed = installed;
    PrintCommands commands(m_prompts, dialog, printer);
    RecordStore store;
    fillRecord(store, samples);
    if (graph)
        commands.printGraph(visible, {FileName, QStringLiteral("1")}, drawStandIn);
    else
        commands.printData(visible, QStringLiteral("Table"), store, {FileName, false, {}});

    QCOMPARE(dialog.shown, 0);
    QVERIFY(printer.jobs.isEmpty());
    QCOMPARE(m_prompts.messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(m_prompts.lastCall().title, title);
        QCOMPARE(int(m_prompts.lastCall().icon), icon);
    }
}

void TestPrinting::printDataAsksDialogThenPrintsCopies()
{
    FakeDialog dialog;
    FakePrinter printer(m_dir.path());
    PrintCommands commands(m_prompts, dialog, printer);
    RecordStore store;
    fillRecord(store, 120);

    dialog.accept = false;
    commands.printData(true, QStringLiteral("Table"), store, {FileName, true, QStringLiteral("T")});
    QVERIFY(printer.jobs.isEmpty());

    dialog.accept = true;
    dialog.copies = 3;
    commands.printData(true, QStringLiteral("Table"), store, {FileName, true, QStringLiteral("T")});
    const PrintDialogRequest &request = dialog.lastRequest;
    QCOMPARE(request.kind, PrintDialogRequest::Kind::Print);
    QVERIFY(!request.offerPageRange);
    QVERIFY(!request.offerSelection);
    QVERIFY(request.offerPrintToFile);
    QCOMPARE(request.pages.minPage, qint16(1));
    QCOMPARE(request.pages.maxPage, qint16(999));
    QCOMPARE(request.pages.fromPage, qint16(1));
    QCOMPARE(request.pages.toPage, qint16(20));

    QCOMPARE(printer.jobs.size(), 3);
    for (const QString &job : std::as_const(printer.jobs))
        QCOMPARE(readPdfWords(job).size(), 3);
    QVERIFY(m_prompts.calls().isEmpty());

    // no record file: said once, not once per copy
    commands.printData(true, QStringLiteral("Table"), store, {QString(), true, QStringLiteral("T")});
    QCOMPARE(m_prompts.messageTexts(), QStringList{"Not any record to print!"});
    QCOMPARE(printer.jobs.size(), 3);
}

void TestPrinting::printGraphPrintsCopiesOrSaysWhyNot()
{
    FakeDialog dialog;
    FakePrinter printer(m_dir.path());
    PrintCommands commands(m_prompts, dialog, printer);
    dialog.copies = 2;
    commands.printGraph(true, {FileName, QStringLiteral("4")}, drawStandIn);
    QCOMPARE(printer.jobs.size(), 2);
    const QList<PdfPage> pages = readPdfWords(printer.jobs.last());
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages.first().lineOf(QStringLiteral("File")).last(), QStringLiteral("4"));
    QVERIFY(m_prompts.calls().isEmpty());

    printer.failure = QStringLiteral("Cannot print to /x.pdf.\nPermission denied");
    commands.printGraph(true, {FileName, QStringLiteral("4")}, drawStandIn);
    QCOMPARE(m_prompts.messageTexts(), QStringList{printer.failure});
}

void TestPrinting::suggestedGraphName()
{
    RecordStore store;
    store.stampRecord(QDateTime(QDate(2026, 12, 5), QTime(15, 12, 30)));
    const QString fileName = RecordStore::fileNameForStamp(store.stamp());
    QCOMPARE(GraphImageExport::suggestedFileName(fileName, QStringLiteral("2")),
             QStringLiteral("261205_151230_P2"));

    NoSvg svg;
    GraphImageSaver saver(m_prompts, svg);
    m_prompts.queueFileName({});
    saver.saveGraph({true, false, fileName, QStringLiteral("2"), QSize(400, 150), m_dir.path()}, drawStandIn);
    QCOMPARE(m_prompts.calls().size(), 1);
    const ScriptedPrompts::Call call = m_prompts.lastCall();
    QCOMPARE(call.kind, ScriptedPrompts::Kind::SaveFile);
    QCOMPARE(call.title, QStringLiteral("Save File"));
    QCOMPARE(call.text, m_dir.filePath(QStringLiteral("261205_151230_P2")));
    QCOMPARE(call.filter, QStringLiteral("BMP Windows Bitmap(*.bmp);;JPEG(*.jpg);;PNG(*.png);;SVG(*.svg)"));
}

void TestPrinting::saveGraphRefusals_data()
{
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("empty");
    QTest::newRow("graph hidden") << false << false;
    QTest::newRow("empty record") << true << true;
}

void TestPrinting::saveGraphRefusals()
{
    QFETCH(bool, visible);
    QFETCH(bool, empty);
    NoSvg svg;
    GraphImageSaver saver(m_prompts, svg);
    saver.saveGraph({visible, empty, FileName, "1", QSize(400, 150), {}}, drawStandIn);
    QCOMPARE(m_prompts.calls().size(), 1);
    QCOMPARE(m_prompts.lastCall().text, QStringLiteral("Not any graph!"));
    QCOMPARE(m_prompts.lastCall().icon, Prompts::Icon::None);
    QCOMPARE(m_prompts.lastCall().buttons, Prompts::Buttons::Ok);
}

void TestPrinting::saveGraphFormats_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bmp") << "g.bmp"
                         << "g.bmp" << QByteArray("bmp");
    QTest::newRow("jpg") << "g.jpg"
                         << "g.jpg" << QByteArray("jpeg");
    QTest::newRow("JPG") << "G.JPG"
                         << "G.JPG" << QByteArray("jpeg");
    QTest::newRow("png") << "g.png"
                         << "g.png" << QByteArray("png");
    QTest::newRow("other extension: bitmap") << "g.gif"
                                             << "g.gif" << QByteArray("bmp");
    QTest::newRow("no extension: .bmp added") << "plain"
                                              << "plain.bmp" << QByteArray("bmp");
    QTest::newRow("svg through the svg writer") << "g.svg"
                                                << "g.svg" << QByteArray("svg");
}

void TestPrinting::saveGraphFormats()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, format);
    struct RecordingSvg final : SvgGraphWriter {
        QString writeSvg(const QString &path, const QSize &, const DrawGraphPage &) override
        {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write("<svg/>") > 0 ? QString()
                                                                               : file.errorString();
        }
    } svg;
    GraphImageSaver saver(m_prompts, svg);
    const QString path = m_dir.filePath(written);
    QFile::remove(path);
    m_prompts.queueFileName(m_dir.filePath(typed));
    saver.saveGraph({true, false, FileName, "1", QSize(400, 150), {}}, drawStandIn);
    QVERIFY2(m_prompts.messageTexts().isEmpty(), qPrintable(m_prompts.messageTexts().join('\n')));
    QVERIFY(QFile::exists(path));
    if (format == "svg") return;

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(400, 150));
    QCOMPARE(QColor(image.pixel(50, 20)).red() > 200 && QColor(image.pixel(50, 20)).green() < 60, true);
    QCOMPARE(QColor(image.pixel(350, 130)), QColor(Qt::white));
}

void TestPrinting::saveGraphReplaceQuestionForAddedExtension()
{
    NoSvg svg;
    GraphImageSaver saver(m_prompts, svg);
    const QString path = m_dir.filePath(QStringLiteral("kept.bmp"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const GraphImageSource source{true, false, FileName, "1", QSize(40, 15), {}};
    m_prompts.queueFileName(m_dir.filePath(QStringLiteral("kept")));
    m_prompts.queueAnswer(Prompts::Answer::No);
    saver.saveGraph(source, drawStandIn);
    QCOMPARE(m_prompts.messageTexts(), QStringList{"kept.bmp already exists.\nDo you want to replace it?"});
    QCOMPARE(QFileInfo(path).size(), 3);

    m_prompts.queueFileName(m_dir.filePath(QStringLiteral("kept")));
    m_prompts.queueAnswer(Prompts::Answer::Yes);
    saver.saveGraph(source, drawStandIn);
    QCOMPARE(QImageReader(path).format(), QByteArray("bmp"));
}

void TestPrinting::saveGraphUnwritablePathIsReported()
{
    NoSvg svg;
    GraphImageSaver saver(m_prompts, svg);
    const QString path = m_dir.filePath(QStringLiteral("missing-folder/g.png"));
    m_prompts.queueFileName(path);
    saver.saveGraph({true, false, FileName, "1", QSize(40, 15), {}}, drawStandIn);
    QCOMPARE(m_prompts.messageTexts().size(), 1);
    const QString text = m_prompts.messageTexts().first();
    QVERIFY2(
        text.startsWith(QStringLiteral("The graph could not be saved to ") + path + QStringLiteral(".\n")),
        qPrintable(text));
    QVERIFY(text.section(QLatin1Char('\n'), 1).size() > 3); // the reason
    QCOMPARE(m_prompts.lastCall().icon, Prompts::Icon::Critical);
    QVERIFY(!QFile::exists(path));
}

void TestPrinting::unattendedOutputs_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("recordFileName");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("pages"); // 0: an image

    QTest::newRow("data") << "data" << 120 << FileName << "data.pdf" << QString() << 3;
    QTest::newRow("data, empty record") << "data" << 0 << FileName << "data.pdf"
                                        << "Not any record !" << 0;
    QTest::newRow("data, no file name") << "data" << 5 << QString() << "data.pdf"
                                        << "Not any record to print!" << 0;
    QTest::newRow("graph") << "graph" << 5 << FileName << "graph.pdf" << QString() << 1;
    QTest::newRow("save graph") << "save" << 5 << FileName << "graph.png" << QString() << 0;
    QTest::newRow("save graph, empty record") << "save" << 0 << FileName << "graph.png"
                                              << "Not any graph!" << 0;
    QTest::newRow("save graph, unwritable") << "save" << 5 << FileName << "missing-folder/graph.png"
                                            << "The graph could not be saved to " << 0;
}

void TestPrinting::unattendedOutputs()
{
    QFETCH(QString, what);
    QFETCH(int, samples);
    QFETCH(QString, recordFileName);
    QFETCH(QString, path);
    QFETCH(QString, failure);
    QFETCH(int, pages);
    RecordStore store;
    fillRecord(store, samples);
    const QString file = m_dir.filePath(path);
    QFile::remove(file);
    NoSvg svg;
    QString result;
    if (what == QLatin1String("data"))
        result = UnattendedPrint::printData(file, store, {recordFileName, true, QStringLiteral("T")});
    else if (what == QLatin1String("graph"))
        result = UnattendedPrint::printGraph(file, {recordFileName, QStringLiteral("1")}, drawStandIn);
    else
        result = GraphImageExport::saveWithoutDialog(
            file, {true, samples == 0, recordFileName, QStringLiteral("1"), QSize(40, 15), {}}, drawStandIn,
            svg);

    QVERIFY2(failure.isEmpty() ? result.isEmpty() : result.startsWith(failure), qPrintable(result));
    QCOMPARE(QFile::exists(file), failure.isEmpty());
    if (pages > 0) QCOMPARE(readPdfWords(file).size(), pages);
    if (failure.isEmpty() && pages == 0) QCOMPARE(QImageReader(file).format(), QByteArray("png"));
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
