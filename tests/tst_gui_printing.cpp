// The print dialog over the current printer, printing to a PDF file through it, and the graph
// as an SVG drawing.
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include "core/printing/GraphImageExport.h"
#include "core/printing/PrintCommands.h"
#include "core/printing/cPrnDlg.h"
#include "core/settings/SaveFolder.h"
#include "core/settings/SettingsStore.h"
#include "support/GraphStandIn.h"
#include "support/ModalDialog.h"
#include "support/PdfText.h"
#include "support/ScriptedPrompts.h"
#include "ui/printing/QtCurrentPrinter.h"
#include "ui/printing/QtSvgGraphWriter.h"

namespace
{

const QString FileName = QStringLiteral("261205_151230.xlsx");

const PrintDocument GraphPage = [](QPainter &painter, QPagedPaintDevice &device) {
    return PrintBmp(painter, device, {FileName, QStringLiteral("1")}, drawStandIn);
};

QLineEdit *fileNameField(QDialog *dialog)
{
    auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
    if (!field) qWarning("no file name in the print dialog");
    return field;
}

} // namespace

class TestGuiPrinting : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    ScriptedPrompts m_prompts;

private Q_SLOTS:
    void init() { m_prompts.clear(); }
    // A PDF file's name gets ".pdf", and an existing file of that name is asked about; the
    // dialog starts in the folder last saved in.
    void pdfFileNamedAndAskedAbout()
    {
        SettingsStore store(m_dir.filePath(QStringLiteral("folders.ini")));
        QtCurrentPrinter printer(nullptr, &store);
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("last")));
        const QString last = m_dir.filePath(QStringLiteral("last"));
        SaveFolder::remember(store, last + QStringLiteral("/x.pdf"));
        QVERIFY(QFile(last + QStringLiteral("/table.pdf")).open(QIODevice::WriteOnly));
        QString offered, asked;
        const auto typeName = [&](QDialog *dialog) {
            if (offered.isEmpty()) offered = fileNameField(dialog)->text();
            fileNameField(dialog)->setText(last + QStringLiteral("/table"));
            dialog->accept();
        };
        cPrnDlg prn(printer);
        prn.setDocumentName(FileName);
        answerDialogs({typeName, answerQuestion(false, asked), [](QDialog *dialog) { dialog->reject(); }});
        QVERIFY(!prn.ShowPrinterDialog());
        QCOMPARE(offered, last + QStringLiteral("/261205_151230.pdf"));
        QCOMPARE(asked, QStringLiteral("table.pdf already exists.\nDo you want to replace it?"));
        answerDialogs({typeName, answerQuestion(true, asked)});
        QVERIFY(prn.ShowPrinterDialog());
        QCOMPARE(printer.printer().outputFileName(), last + QStringLiteral("/table.pdf"));
    }
    // The dialog offers what the print commands' flags say; Cancel changes nothing, OK keeps the
    // choices for the next command.
    void chosenSettingsStayCurrent()
    {
        QtCurrentPrinter printer;
        // This machine has no printer installed; the dialog's PDF file still lets the user print.
        QVERIFY(QtCurrentPrinter::dialogOffersPdfFile() && printer.available());
        const QString first = m_dir.filePath(QStringLiteral("first.pdf"));
        const QString chosen = m_dir.filePath(QStringLiteral("chosen.pdf"));
        printer.printer().setOutputFileName(first);
        QList<int> options;
        whenDialogOpens([&](QDialog *dialog) {
            auto *print = qobject_cast<QPrintDialog *>(dialog);
            options = {print->testOption(QAbstractPrintDialog::PrintToFile),
                       print->testOption(QAbstractPrintDialog::PrintPageRange),
                       print->testOption(QAbstractPrintDialog::PrintSelection), print->minPage(),
                       print->maxPage()};
            fileNameField(dialog)->setText(chosen);
            dialog->reject();
        });
        cPrnDlg cancelled(printer);
        cancelled.setPrintFlag(3, cPrnDlg::NoPageNums);
        cancelled.setPrintFlag(4, cPrnDlg::NoSelection);
        cancelled.setMaxPage(999);
        QVERIFY(!cancelled.ShowPrinterDialog());
        QCOMPARE(options, QList<int>({true, false, false, 1, 999}));
        QCOMPARE(printer.printer().outputFileName(), first);
        QCOMPARE(cancelled.Copies(), qint16(0));
        whenDialogOpens([&](QDialog *dialog) {
            fileNameField(dialog)->setText(chosen);
            if (auto *copies = dialog->findChild<QSpinBox *>(QStringLiteral("copies"))) copies->setValue(3);
            dialog->accept();
        });
        cPrnDlg prn(printer);
        prn.setDocumentName(FileName);
        QVERIFY(prn.ShowPrinterDialog());
        QVERIFY(printer.printer().outputFormat() == QPrinter::PdfFormat);
        // the print job's name, the copies, the file; copies into a PDF file follow one another in it
        QCOMPARE(QStringList({printer.printer().docName(), QString::number(prn.Copies()),
                              printer.printer().outputFileName(), printer.print(GraphPage, prn.Copies())}),
                 QStringList({FileName, "3", chosen, QString()}));
        QCOMPARE(readPdfWords(chosen).size(), 3);

        // The next command's dialog starts from the chosen file.
        QString offered;
        whenDialogOpens([&](QDialog *dialog) {
            offered = fileNameField(dialog)->text();
            dialog->reject();
        });
        cPrnDlg next(printer);
        next.ShowPrinterDialog();
        QCOMPARE(offered, chosen);

        // A file that cannot be written is reported with its name.
        const QString unwritable = m_dir.filePath(QStringLiteral("missing-folder/graph.pdf"));
        printer.printer().setOutputFileName(unwritable);
        const QString reason = printer.print(GraphPage, 1);
        QVERIFY2(reason.startsWith(QStringLiteral("Cannot print to ") + unwritable + QStringLiteral(".\n")) &&
                     !QFile::exists(unwritable),
                 qPrintable(reason));
    }
    void svgDrawingReadsBack()
    {
        QtSvgGraphWriter svg;
        GraphImageSaver saver(m_prompts, svg);
        const QString path = m_dir.filePath(QStringLiteral("graph.svg"));
        m_prompts.queueFileName(path);
        saver.saveGraph({true, false, FileName, QStringLiteral("2"), QSize(600, 200), {}}, drawStandIn);
        QVERIFY(m_prompts.messageTexts().isEmpty());
        QSvgRenderer renderer(path);
        QCOMPARE(renderer.viewBox(), QRect(0, 0, 600, 200));
        QImage image(600, 200, QImage::Format_RGB32);
        image.fill(Qt::green);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        QCOMPARE(QColor(image.pixel(100, 50)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(500, 180)), QColor(Qt::white));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("STANDIN")); // text stays text
        // an unwritable SVG is reported like any other format
        const QString unwritable = m_dir.filePath(QStringLiteral("missing-folder/graph.svg"));
        m_prompts.queueFileName(unwritable);
        saver.saveGraph({true, false, FileName, QStringLiteral("2"), QSize(600, 200), {}}, drawStandIn);
        QVERIFY(m_prompts.messageTexts().size() == 1 &&
                m_prompts.messageTexts().first().contains(unwritable));
    }
};

QTEST_MAIN(TestGuiPrinting)
#include "tst_gui_printing.moc"
