#pragma once
#include <QStringView>

#include "core/workbook/SheetCells.h"

// What a cell's number format makes of a number: only the format tells a time or a date
// from a plain number. .xlsx and .xls files share the built-in format numbers and the
// format code language, so both readers classify through here.
namespace CellNumberFormats
{

// A built-in format number (those a workbook uses without defining them).
SheetCell::NumberFormat ofBuiltIn(int formatId);

// A format code such as "hh:mm:ss", "[h]:mm", "d/m/yyyy h:mm" or "0.00". The first section
// decides; quoted text, escaped characters, colours and conditions do not count.
SheetCell::NumberFormat ofCode(QStringView code);

} // namespace CellNumberFormats
