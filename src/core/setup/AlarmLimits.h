#pragma once
#include <QChar>
#include <QString>
#include <QStringList>

#include "core/measurement/AlarmRules.h"
#include "core/measurement/MeasurementTables.h"

// The alarm limit boxes of the Setup dialog ("Hi" Text1(0), "Low" Text1(1)) and their unit
// list Combo2.
namespace AlarmLimits
{

// Shown (OK button only) before a limit that is not a number is replaced by "100".
QString entryErrorMessage(); // "Data entry error ! "
QString fallbackLimit();     // "100"

// Keys a limit box takes: DC functions (DCV, DCA) backspace, "-", "." and digits; AC
// functions (ACV, ACA) backspace, "." and digits; any other function none.
bool acceptsKey(int mainFunction, QChar key);

// What the limits are checked against.
struct Context {
    bool recordHasSample = false; // the "Date" cell of the record's row 1 is not empty
    int mainFunction = -1;
    QString unit;                     // the selected alarm unit (Combo2 text)
    Measurement::DisplayLimits range; // the main channel's current display limits
};

struct Edit {
    QString text;            // the box's text afterwards (unchanged when nothing applies)
    bool entryError = false; // show entryErrorMessage() before putting `text` in
};

// A change of a limit box's text while typing. Out of range numbers become the range's limit
// rounded to a whole number. The start of a number ("-", ".", "-.") is let through so a
// negative or fractional limit can be typed; any other text that is not a number is an entry
// error and becomes "100". Decimals are left as typed: rounding at each key would round again
// what the next digit refines. Empty texts, and any text while the record has no sample, are
// left alone.
Edit textChanged(const QString &text, const Context &context);
// Leaving a limit box, and OK: as textChanged, but the start of a number is an entry error as
// well, and the limit is rounded to the decimals it keeps: three for DCV in "V" ("###0.000"),
// one otherwise ("###0.0").
Edit editingFinished(const QString &text, const Context &context);

// The alarm unit list (Combo2) and its selection, as the alarm's rules give it.
using Units = AlarmRules::Units;

} // namespace AlarmLimits
