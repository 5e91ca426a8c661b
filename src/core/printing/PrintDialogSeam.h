#pragma once
#include <QString>

// The five page fields the print dialog takes and gives back, in the dialog's own order.
struct PrintPageFields {
    qint16 fromPage = 0;
    qint16 toPage = 0;
    qint16 minPage = 1;
    qint16 maxPage = 9999;
    qint16 copies = 0;
};

// What the print dialog offers and how it starts.
struct PrintDialogRequest {
    enum class Kind { Print, PageSetup };
    enum class Range { All, Selection, PageRange, CurrentPage };

    Kind kind = Kind::Print;
    bool offerSelection = true;
    bool offerPageRange = true;
    bool offerCurrentPage = false;
    bool offerPrintToFile = true;
    Range range = Range::All;
    bool collate = false;
    bool printToFile = false; // the print-to-file choice starts selected
    PrintPageFields pages;
    QString documentName; // names the print job and, where the dialog suggests one, the PDF file
};

// The print dialog over the program's current printer.
class PrintDialogSeam
{
public:
    virtual ~PrintDialogSeam() = default;
    // Shows the dialog initialised from the current printer. On OK the chosen printer and its
    // settings become the current printer for the following print commands, `pages` receives
    // the dialog's page fields and copies, and the result is true. On Cancel nothing changes.
    virtual bool showPrintDialog(const PrintDialogRequest &request, PrintPageFields &pages) = 0;
};
