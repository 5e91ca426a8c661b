#pragma once
#include <QPointer>
#include <QPrinter>
#include <QWidget>

#include "core/printing/CurrentPrinter.h"
#include "core/printing/PrintDialogSeam.h"

// The program's current printer: the system's default printer at start, or a PDF file where
// there is none; the print dialog makes the chosen printer and its settings current for the
// following print commands.
class QtCurrentPrinter final : public CurrentPrinter, public PrintDialogSeam
{
public:
    explicit QtCurrentPrinter(QWidget *dialogParent = nullptr);
    void setDialogParent(QWidget *parent) { m_parent = parent; }

    bool available() const override;
    QString print(const PrintDocument &document, int copies) override;
    bool showPrintDialog(const PrintDialogRequest &request, PrintPageFields &pages) override;

    QPrinter &printer() { return m_printer; }
    // Where the Qt print dialog offers "Print to File (PDF)" among its printers.
    static bool dialogOffersPdfFile();

private:
    bool showPrint(const PrintDialogRequest &request, PrintPageFields &pages);
    bool showPageSetup();

    QPrinter m_printer{QPrinter::HighResolution};
    QPointer<QWidget> m_parent;
};
