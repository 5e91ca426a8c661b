#pragma once
#include <QString>
#include <QStringList>

// What a save dialog's typed name stands for, so the question before replacing a file is asked
// on the name that is written.
namespace SaveFileNames
{

// The suffixes a filter offers, entry by entry: "Excel File(*.xlsx);;CSV File(*.csv)" gives
// {"xlsx", "csv"}; an entry without a "*.x" pattern gives "".
QStringList suffixes(const QString &filter);

// The file `typed` names when the filter's entry `chosen` is selected: a name ending in one of
// the offered suffixes (any letter case) stays; the older ".xls" becomes ".xlsx" where that is
// offered; any other name gets the chosen entry's suffix (".bmp" for "g", "g.v2.bmp" for "g.v2").
QString finalName(const QString &typed, const QString &filter, int chosen = 0);

} // namespace SaveFileNames
