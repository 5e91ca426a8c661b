#include "core/printing/PrintCommands.h"

#include "core/common/Prompts.h"
#include "core/printing/CurrentPrinter.h"
#include "core/printing/GraphImageExport.h"
#include "core/printing/PrintTexts.h"
#include "core/printing/cPrnDlg.h"
#include "core/record/RecordStore.h"

namespace
{

// The documents hold references: the arguments outlive the print command that uses them.
PrintDocument tableDocument(const RecordStore &table, const TableHeading &heading)
{
    return [&table, &heading](QPainter &painter, QPagedPaintDevice &device) {
        return printTabula(painter, device, table, heading);
    };
}

PrintDocument graphDocument(const GraphFooter &footer, const DrawGraphPage &drawPage,
                            const GraphPrintout::Sheet &sheet)
{
    return [&footer, &drawPage, sheet](QPainter &painter, QPagedPaintDevice &device) {
        return PrintBmp(painter, device, footer, drawPage, sheet);
    };
}

QString documentName(const GraphFooter &footer)
{
    return GraphImageExport::suggestedFileName(footer.recordFileName, footer.pageText);
}

} // namespace

void PrintCommands::printData(bool tableVisible, const QString &tableCaption, const RecordStore &table,
                              const TableHeading &heading)
{
    if (!printerAvailable()) return;
    if (!tableVisible || table.cell(1, 1).isEmpty()) {
        m_prompts.message(PrintTexts::noRecord(), tableCaption, Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    printWithDialog(heading.recordFileName, heading.recordFileName, tableDocument(table, heading));
}

void PrintCommands::printGraph(bool graphVisible, const GraphFooter &footer, const DrawGraphPage &drawPage,
                               const GraphPrintout::Sheet &sheet)
{
    if (!printerAvailable()) return;
    if (!graphVisible) return;
    printWithDialog(footer.recordFileName, documentName(footer), graphDocument(footer, drawPage, sheet));
}

bool PrintCommands::printerAvailable()
{
    if (m_printer.available()) return true;
    m_prompts.message(PrintTexts::noPrinter(), PrintTexts::noPrinterTitle(), Prompts::Buttons::Ok,
                      Prompts::Icon::Critical);
    return false;
}

void PrintCommands::printWithDialog(const QString &recordFileName, const QString &documentName,
                                    const PrintDocument &document)
{
    // The print-to-file choice stays offered: a PDF file is this platform's printer of last resort.
    cPrnDlg dialog(m_dialog);
    dialog.setPrintFlag(1, 0);
    dialog.setPrintFlag(3, cPrnDlg::NoPageNums);
    dialog.setPrintFlag(4, cPrnDlg::NoSelection);
    dialog.setMinPage(1);
    dialog.setMaxPage(999);
    dialog.setFromPage(1);
    dialog.setToPage(20);
    dialog.setStyle(0);
    dialog.setDocumentName(documentName);
    if (!dialog.ShowPrinterDialog()) return;

    // Checked once, not once per copy.
    if (recordFileName.isEmpty()) {
        m_prompts.message(PrintTexts::noRecordToPrint(), applicationTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::None);
        return;
    }
    const QString failure = m_printer.print(document, dialog.Copies());
    if (!failure.isEmpty())
        m_prompts.message(failure, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

QString UnattendedPrint::printData(const QString &pdfPath, const RecordStore &table,
                                   const TableHeading &heading)
{
    if (table.cell(1, 1).isEmpty()) return PrintTexts::noRecord();
    if (heading.recordFileName.isEmpty()) return PrintTexts::noRecordToPrint();
    return printToPdfFile(pdfPath, tableDocument(table, heading));
}

QString UnattendedPrint::printGraph(const QString &pdfPath, const GraphFooter &footer,
                                    const DrawGraphPage &drawPage, const GraphPrintout::Sheet &sheet)
{
    if (footer.recordFileName.isEmpty()) return PrintTexts::noRecordToPrint();
    return printToPdfFile(pdfPath, graphDocument(footer, drawPage, sheet));
}
