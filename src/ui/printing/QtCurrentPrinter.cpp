#include "ui/printing/QtCurrentPrinter.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "core/common/AppPaths.h"
#include "core/common/SaveFileNames.h"
#include "core/settings/SaveFolder.h"
#include "ui/common/ReplaceQuestion.h"

namespace
{

QAbstractPrintDialog::PrintRange dialogRange(PrintDialogRequest::Range range)
{
    switch (range) {
    case PrintDialogRequest::Range::Selection:
        return QAbstractPrintDialog::Selection;
    case PrintDialogRequest::Range::PageRange:
        return QAbstractPrintDialog::PageRange;
    case PrintDialogRequest::Range::CurrentPage:
        return QAbstractPrintDialog::CurrentPage;
    case PrintDialogRequest::Range::All:
        break;
    }
    return QAbstractPrintDialog::AllPages;
}

QAbstractPrintDialog::PrintDialogOptions dialogOptions(const PrintDialogRequest &request)
{
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    options.setFlag(QAbstractPrintDialog::PrintSelection, request.offerSelection);
    options.setFlag(QAbstractPrintDialog::PrintPageRange, request.offerPageRange);
    options.setFlag(QAbstractPrintDialog::PrintCurrentPage, request.offerCurrentPage);
    options.setFlag(QAbstractPrintDialog::PrintToFile, request.offerPrintToFile);
    return options;
}

const QString PdfFilter = QStringLiteral("PDF(*.pdf)");

} // namespace

QtCurrentPrinter::QtCurrentPrinter(QWidget *dialogParent, SettingsStore *folders)
    : m_parent(dialogParent), m_folders(folders)
{
}

bool QtCurrentPrinter::dialogOffersPdfFile()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return false;
#else
    return true;
#endif
}

bool QtCurrentPrinter::available() const
{
    return dialogOffersPdfFile() || !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString QtCurrentPrinter::print(const PrintDocument &document, int copies)
{
    // The program prints the copies itself: a printer gets one job per copy, a PDF file the
    // copies one after another.
    m_printer.setCopyCount(1);
    if (m_printer.outputFormat() == QPrinter::PdfFormat) {
        const QString path = m_printer.outputFileName();
        if (path.isEmpty())
            return QCoreApplication::translate("QtCurrentPrinter", "No file was chosen to print to.");
        // The PDF engine fails without a reason; the file tells it.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return QCoreApplication::translate("QtCurrentPrinter", "Cannot print to %1.\n%2")
                .arg(path, probe.errorString());
        probe.close();
        const QString failure = printCopies(m_printer, document, copies, CopyMode::OneDocument);
        return failure.isEmpty() ? failure
                                 : QCoreApplication::translate("QtCurrentPrinter", "Cannot print to %1.\n%2")
                                       .arg(path, failure);
    }
    const QString failure = printCopies(m_printer, document, copies, CopyMode::SeparateDocuments);
    return failure.isEmpty() ? failure
                             : QCoreApplication::translate("QtCurrentPrinter", "Cannot print on %1.\n%2")
                                   .arg(m_printer.printerName(), failure);
}

bool QtCurrentPrinter::showPrintDialog(const PrintDialogRequest &request, PrintPageFields &pages)
{
    if (request.kind == PrintDialogRequest::Kind::PageSetup) return showPageSetup();
    return showPrint(request, pages);
}

bool QtCurrentPrinter::showPageSetup()
{
    QPageSetupDialog dialog(&m_printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtCurrentPrinter::showPrint(const PrintDialogRequest &request, PrintPageFields &pages)
{
    // what the dialog is started with, taken back on Cancel
    const int copies = m_printer.copyCount();
    const bool collate = m_printer.collateCopies();
    const QPrinter::OutputFormat format = m_printer.outputFormat();
    const QString docName = m_printer.docName();

    m_printer.setCopyCount(qMax<int>(1, pages.copies));
    m_printer.setCollateCopies(request.collate);
    if (request.printToFile) m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setDocName(request.documentName);
    if (m_printer.outputFormat() == QPrinter::PdfFormat && m_printer.outputFileName().isEmpty()) {
        const QString name = QFileInfo(request.documentName).completeBaseName() + QStringLiteral(".pdf");
        const QString suggested = QDir(AppPaths::recordsFolder()).filePath(name);
        m_printer.setOutputFileName(m_folders ? SaveFolder::startPath(*m_folders, suggested) : suggested);
    }

    for (bool chosen = false; !chosen;) {
        QPrintDialog dialog(&m_printer, m_parent);
        dialog.setMinMax(pages.minPage, pages.maxPage);
        if (pages.fromPage >= pages.minPage && pages.fromPage <= pages.toPage &&
            pages.toPage <= pages.maxPage)
            dialog.setFromTo(pages.fromPage, pages.toPage);
        dialog.setPrintRange(dialogRange(request.range));
        // last: setting the page limits offers the page range again
        dialog.setOptions(dialogOptions(request));
        if (dialog.exec() != QDialog::Accepted) {
            m_printer.setCopyCount(copies);
            m_printer.setCollateCopies(collate);
            m_printer.setOutputFormat(format);
            m_printer.setDocName(docName);
            return false;
        }
        chosen = takePdfName();
    }
    pages.fromPage = qint16(m_printer.fromPage());
    pages.toPage = qint16(m_printer.toPage());
    pages.copies = qint16(m_printer.copyCount());
    return true;
}

bool QtCurrentPrinter::takePdfName()
{
    if (m_printer.outputFormat() != QPrinter::PdfFormat || m_printer.outputFileName().isEmpty()) return true;
    // The dialog asked about the name as typed.
    const QString typed = m_printer.outputFileName();
    const QString path = SaveFileNames::finalName(typed, PdfFilter);
    m_printer.setOutputFileName(path);
    if (path != typed && QFileInfo::exists(path) &&
        !confirmReplace(m_parent, QPrintDialog::tr("Print"), path))
        return false;
    if (m_folders) SaveFolder::remember(*m_folders, path);
    return true;
}
