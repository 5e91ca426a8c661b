#pragma once
#include <array>

#include "core/printing/PrintDialogSeam.h"

// The print dialog as the print commands use it: page fields and option flags are set, the
// dialog is shown, Copies is read back. One instance per command; it holds no resources.
class cPrnDlg
{
public:
    static constexpr int FlagCount = 21;

    // dialog option bits (PrintFlag entries are ORed)
    enum Flag : qint32 {
        SelectionRange = 0x1,
        PageNumsRange = 0x2,
        NoSelection = 0x4,
        NoPageNums = 0x8,
        Collate = 0x10,
        PrintToFile = 0x20,
        PrintSetup = 0x40,
        DisablePrintToFile = 0x80000,
        HidePrintToFile = 0x100000,
        CurrentPageRange = 0x400000,
        NoCurrentPage = 0x800000,
    };

    explicit cPrnDlg(PrintDialogSeam &dialog) : m_dialog(dialog) {}

    qint32 Style() const { return m_style; } // 1 = the Print Setup dialog
    void setStyle(qint32 style) { m_style = style; }
    qint32 PrintFlag(int index) const;          // 0 outside 0..20
    void setPrintFlag(int index, qint32 flags); // ignored outside 0..20

    void setFromPage(qint16 page) { m_pages.fromPage = page; }
    void setToPage(qint16 page) { m_pages.toPage = page; }
    void setMinPage(qint16 page) { m_pages.minPage = page; }
    qint16 MaxPage() const { return m_pages.maxPage; }
    void setMaxPage(qint16 page) { m_pages.maxPage = page; }
    qint16 Copies() const { return m_pages.copies; }

    void setDocumentName(const QString &name) { m_documentName = name; }

    // Print Setup for Style 1, else the OR of the 21 PrintFlag entries.
    qint32 dialogFlags() const;
    // What the dialog is asked to offer, from the flags and the page fields.
    PrintDialogRequest request() const;

    // True when the user pressed OK; the chosen printer is then the current printer and the
    // page fields hold the dialog's answer. On Cancel the fields are unchanged.
    bool ShowPrinterDialog();

private:
    PrintDialogSeam &m_dialog;
    qint32 m_style = 0;
    std::array<qint32, FlagCount> m_flags{};
    PrintPageFields m_pages;
    QString m_documentName;
};
