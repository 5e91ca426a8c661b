#include "core/printing/PrintCommands.h"

#include "core/common/Prompts.h"
#include "core/printing/CurrentPrinter.h"
#include "core/printing/PrintTexts.h"
#include "core/printing/cPrnDlg.h"
#include "core/recording/RecordStore.h"

void PrintCommands::printData(bool tableVisible, const QString &tableCaption, const RecordStore &table,
                              const TableHeading &heading)
{
    if (!printerAvailable()) return;
    if (!tableVisible || table.cell(1, 1).isEmpty()) {
        m_prompts.message(PrintTexts::noRecord(), tableCaption, Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    printWithDialog(heading.recordFileName, [&table, &heading](QPainter &painter, QPagedPaintDevice &device) {
        return printTabula(painter, device, table, heading);
    });
}

void PrintCommands::printGraph(bool graphVisible, const GraphFooter &footer, const DrawGraphPage &drawPage)
{
    if (!printerAvailable()) return;
    if (!graphVisible) return;
    printWithDialog(footer.recordFileName,
                    [&footer, &drawPage](QPainter &painter, QPagedPaintDevice &device) {
                        return PrintBmp(painter, device, footer, drawPage);
                    });
}

bool PrintCommands::printerAvailable()
{
    if (m_printer.available()) return true;
    m_prompts.message(PrintTexts::noPrinter(), PrintTexts::noPrinterTitle(), Prompts::Buttons::Ok,
                      Prompts::Icon::Critical);
    return false;
}

void PrintCommands::printWithDialog(const QString &recordFileName, const PrintDocument &document)
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
