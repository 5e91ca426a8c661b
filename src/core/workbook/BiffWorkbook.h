#pragma once
#include <QByteArray>
#include <QString>

#include "core/workbook/SheetCells.h"

// The record layer of the binary workbook format of the 1997-2003 generation (BIFF8, and
// BIFF5 in the "Book" stream of older files), without the compound-document container.
namespace BiffWorkbook
{

// Past these a workbook is refused rather than read: no record of the program comes near.
inline constexpr qsizetype maxStreamSize = 64 * 1024 * 1024;
inline constexpr int maxCellCount = 1'000'000;

// Reads the cells of the first worksheet of a workbook stream: texts (shared, inline and
// formula results), numbers (with what their format says they are, dates moved to the 1900
// system), booleans and errors. Charts, drawings and formatting are passed over. On failure
// `error` says why and `cells` is left as it was.
bool readFirstSheet(const QByteArray &stream, SheetCells *cells, QString *error);

} // namespace BiffWorkbook
