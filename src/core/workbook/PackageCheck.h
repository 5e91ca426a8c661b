#pragma once
#include <QString>

// Checks that every part of a written workbook package is complete: each entry reads back
// with its checksum and its XML ends with the closing tag of its root element. The workbook
// writer reports no error when its temporary parts could not be written to the end (a full
// disk), so a cut-short file is caught here. False with `error` (the cause) otherwise.
bool checkWorkbookPackage(const QString &path, QString *error);
