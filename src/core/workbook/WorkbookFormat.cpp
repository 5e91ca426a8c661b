#include "core/workbook/WorkbookFormat.h"
#include <QCoreApplication>

#include <QFile>
#include <QFileInfo>

namespace WorkbookFormat
{

Kind detect(const QByteArray &firstBytes)
{
    static const QByteArray zip("PK\x03\x04", 4);
    static const QByteArray compoundDocument("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", signatureSize);
    if (firstBytes.startsWith(zip)) return Kind::Xlsx;
    if (firstBytes.startsWith(compoundDocument)) return Kind::Xls;
    return Kind::Unknown;
}

Kind detectFile(const QString &path)
{
    // Reading a named pipe or a device would wait for a writer that may never come.
    if (!QFileInfo(path).isFile()) return Kind::Unknown;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Kind::Unknown;
    return detect(file.read(signatureSize));
}

QStringList openFilters()
{
    return {QCoreApplication::translate("WorkbookFormat", "Excel File(*.xlsx *.xls)"),
            QCoreApplication::translate("WorkbookFormat", "Excel 2007 File(*.xlsx)"),
            QCoreApplication::translate("WorkbookFormat", "Excel 97-2003 File(*.xls)")};
}

QString openFilter()
{
    return openFilters().join(QLatin1String(";;"));
}

} // namespace WorkbookFormat
