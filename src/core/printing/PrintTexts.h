#pragma once
#include <QCoreApplication>
#include <QString>

// The fixed texts of printing and image export.
namespace PrintTexts
{

inline QString noPrinter()
{
    return QCoreApplication::translate("PrintTexts",
                                       "Getting printer error. Make sure the printer is set up correctly.");
}
inline QString noPrinterTitle()
{
    return QCoreApplication::translate("PrintTexts", "Printer set up ");
}
inline QString noRecord()
{
    return QCoreApplication::translate("PrintTexts", "Not any record !");
}
inline QString noRecordToPrint()
{
    return QCoreApplication::translate("PrintTexts", "Not any record to print!");
}
inline QString noGraph()
{
    return QCoreApplication::translate("PrintTexts", "Not any graph!");
}
inline QString saveFileTitle()
{
    return QCoreApplication::translate("PrintTexts", "Save File");
}

// "File Name : <name>", `blanks` blanks, "Page : <page>": the heading of table pages and the
// footer of the graph page.
inline QString fileNameLine(const QString &recordFileName, int blanks, const QString &page)
{
    return QCoreApplication::translate("PrintTexts", "File Name : ") + recordFileName +
           QString(blanks, QLatin1Char(' ')) + QCoreApplication::translate("PrintTexts", "Page : ") + page;
}

} // namespace PrintTexts
