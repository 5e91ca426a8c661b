#pragma once
#include "core/workbook/SheetCells.h"

// Sheet cells as a workbook reader hands them out, and one line of text for comparing them.
inline SheetCell number(double value, SheetCell::NumberFormat format = SheetCell::NumberFormat::General,
                        int decimals = -1, char16_t sign = 0)
{
    return {SheetCell::Type::Number, value, {}, format, decimals, sign};
}

inline SheetCell text(const QString &value, SheetCell::Type type = SheetCell::Type::Text)
{
    return {type, 0, value};
}

// "'text", "!error", "?1" for a boolean, "12.5" with "/time", "/date", "/datetime", "#2" for
// the places its format shows and the sign it shows ("0.00", "+"0), "" for an empty cell.
inline QString rendered(const SheetCell &cell)
{
    static const char *const kinds[] = {"", "/time", "/date", "/datetime"};
    switch (cell.type) {
    case SheetCell::Type::Empty:
        return {};
    case SheetCell::Type::Text:
        return u'\'' + cell.text;
    case SheetCell::Type::Error:
        return u'!' + cell.text;
    case SheetCell::Type::Boolean:
        return u'?' + QString::number(cell.number);
    case SheetCell::Type::Number:
        break;
    }
    return QString::number(cell.number, 'g', 12) + QLatin1String(kinds[int(cell.format)]) +
           (cell.decimals < 0 ? QString() : QStringLiteral("#%1").arg(cell.decimals)) +
           (cell.sign ? QString(QChar(cell.sign)) : QString());
}

// Every cell that holds something, "R1C1=… R1C2=…", row by row.
inline QString rendered(const SheetCells &cells)
{
    QStringList out;
    for (int row = 1; row <= cells.rowCount(); ++row)
        for (int column = 1; column <= cells.columnCount(); ++column)
            if (cells.at(row, column).type != SheetCell::Type::Empty)
                out << QStringLiteral("R%1C%2=%3").arg(row).arg(column).arg(rendered(cells.at(row, column)));
    return out.join(u' ');
}
