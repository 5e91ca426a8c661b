#include "core/printing/cPrnDlg.h"

qint32 cPrnDlg::PrintFlag(int index) const
{
    return index >= 0 && index < FlagCount ? m_flags[std::size_t(index)] : 0;
}

void cPrnDlg::setPrintFlag(int index, qint32 flags)
{
    if (index >= 0 && index < FlagCount) m_flags[std::size_t(index)] = flags;
}

qint32 cPrnDlg::dialogFlags() const
{
    if (m_style == 1) return PrintSetup;
    qint32 flags = 0;
    for (const qint32 entry : m_flags)
        flags |= entry;
    return flags;
}

PrintDialogRequest cPrnDlg::request() const
{
    const qint32 flags = dialogFlags();
    PrintDialogRequest request;
    request.pages = m_pages;
    request.documentName = m_documentName;
    if (flags & PrintSetup) {
        request.kind = PrintDialogRequest::Kind::PageSetup;
        return request;
    }
    request.offerSelection = !(flags & NoSelection);
    request.offerPageRange = !(flags & NoPageNums);
    request.offerCurrentPage = (flags & CurrentPageRange) && !(flags & NoCurrentPage);
    request.offerPrintToFile = !(flags & (HidePrintToFile | DisablePrintToFile));
    request.collate = flags & Collate;
    request.printToFile = request.offerPrintToFile && (flags & PrintToFile);
    if ((flags & SelectionRange) && request.offerSelection)
        request.range = PrintDialogRequest::Range::Selection;
    else if ((flags & PageNumsRange) && request.offerPageRange)
        request.range = PrintDialogRequest::Range::PageRange;
    else if (request.offerCurrentPage)
        request.range = PrintDialogRequest::Range::CurrentPage;
    return request;
}

bool cPrnDlg::ShowPrinterDialog()
{
    PrintPageFields answer = m_pages;
    if (!m_dialog.showPrintDialog(request(), answer)) return false;
    m_pages = answer;
    return true;
}
