#pragma once
#include <QString>

#include "core/printing/GraphPrintout.h"
#include "core/printing/TablePrintout.h"
#include "core/printing/TwipPage.h"

class CurrentPrinter;
class PrintDialogSeam;
class Prompts;

// Print Data and Print Graph: check that there is something to print on some printer, ask the
// print dialog, then print the copies asked for.
class PrintCommands
{
public:
    PrintCommands(Prompts &prompts, PrintDialogSeam &dialog, CurrentPrinter &printer)
        : m_prompts(prompts), m_dialog(dialog), m_printer(printer)
    {
    }

    // Print Data: the record table, 50 rows a page.
    void printData(bool tableVisible, const QString &tableCaption, const RecordStore &table,
                   const TableHeading &heading);
    // Print Graph: the graph page the graph window shows, framed, with its footer.
    void printGraph(bool graphVisible, const GraphFooter &footer, const DrawGraphPage &drawPage,
                    const GraphPrintout::Sheet &sheet = GraphPrintout::PageSheet);

private:
    bool printerAvailable();
    void printWithDialog(const QString &recordFileName, const QString &documentName,
                         const PrintDocument &document);

    Prompts &m_prompts;
    PrintDialogSeam &m_dialog;
    CurrentPrinter &m_printer;
};

// The same pages without dialogs, for unattended runs: one copy into a PDF file. Each returns ""
// or what went wrong, in the words the commands use.
namespace UnattendedPrint
{

QString printData(const QString &pdfPath, const RecordStore &table, const TableHeading &heading);
QString printGraph(const QString &pdfPath, const GraphFooter &footer, const DrawGraphPage &drawPage,
                   const GraphPrintout::Sheet &sheet = GraphPrintout::PageSheet);

} // namespace UnattendedPrint
