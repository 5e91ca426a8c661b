#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Which workbook format a file is, told by its first bytes: a user may well have renamed it.
namespace WorkbookFormat
{

enum class Kind {
    Xlsx,   // a zip package ("PK\3\4")
    Xls,    // a compound document (the 1997-2003 binary workbook)
    Unknown // anything else, an empty file included
};

// Bytes needed to tell the formats apart.
inline constexpr int signatureSize = 8;

Kind detect(const QByteArray &firstBytes);
// Unknown when the file cannot be read.
Kind detectFile(const QString &path);

// The Open dialog's filters, in the order offered.
QStringList openFilters();
// The same joined for QFileDialog (";;" between the entries).
QString openFilter();

} // namespace WorkbookFormat
