#pragma once
#include "core/workbook/SheetCells.h"

// Sheet cells as a workbook reader hands them out, for the readers' and the import's tests.
inline SheetCell number(double value, SheetCell::NumberFormat format = SheetCell::NumberFormat::General,
                        int decimals = -1, char16_t sign = 0)
{
    SheetCell cell;
    cell.type = SheetCell::Type::Number;
    cell.number = value;
    cell.format = format;
    cell.decimals = decimals;
    cell.sign = sign;
    return cell;
}

inline SheetCell text(const QString &value, SheetCell::Type type = SheetCell::Type::Text)
{
    SheetCell cell;
    cell.type = type;
    cell.text = value;
    return cell;
}
