#pragma once
#include <QString>

// The fixed texts of printing and image export.
namespace PrintTexts
{

inline QString noPrinter()
{
    return QStringLiteral("Getting printer error. Make sure the printer is set up correctly.");
}
inline QString noPrinterTitle()
{
    return QStringLiteral("Printer set up ");
}
inline QString noRecord()
{
    return QStringLiteral("Not any record !");
}
inline QString noRecordToPrint()
{
    return QStringLiteral("Not any record to print!");
}
inline QString noGraph()
{
    return QStringLiteral("Not any graph!");
}
inline QString saveFileTitle()
{
    return QStringLiteral("Save File");
}

// "File Name : <name>", `blanks` blanks, "Page : <page>": the heading of table pages and the
// footer of the graph page.
inline QString fileNameLine(const QString &recordFileName, int blanks, const QString &page)
{
    return QStringLiteral("File Name : ") + recordFileName + QString(blanks, QLatin1Char(' ')) +
           QStringLiteral("Page : ") + page;
}

} // namespace PrintTexts
