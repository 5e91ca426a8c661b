#pragma once
#include <QPointer>
#include <QPrinter>
#include <QWidget>

#include "core/printing/CurrentPrinter.h"
#include "core/printing/PrintDialogSeam.h"

class SettingsStore;

// The program's current printer: the system's default printer at start, or a PDF file where
// there is none; the print dialog makes the chosen printer and its settings current for the
// following print commands. Printing to a file, the dialog starts in the folder last saved in,
// noted in `folders`, and the file is named with ".pdf".
class QtCurrentPrinter final : public CurrentPrinter, public PrintDialogSeam
{
public:
    explicit QtCurrentPrinter(QWidget *dialogParent = nullptr, SettingsStore *folders = nullptr);
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
    // After OK: a PDF file's final name, asked about when it differs from the name typed and
    // exists; false when the user wants to choose again.
    bool takePdfName();

    QPrinter m_printer{QPrinter::HighResolution};
    QPointer<QWidget> m_parent;
    SettingsStore *m_folders;
};
