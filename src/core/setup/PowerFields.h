#pragma once
#include <QChar>
#include <QString>
#include <QStringList>

// The "Power rate" fields of the Setup dialog: voltage "V" (Text5(0)), power factor "P.F"
// (the editable list Combo3) and "Unit price    " (Text5(1)).
namespace PowerFields
{

QStringList powerFactorEntries(); // "0.8", "0.9", "1.0", "Input field"
QString inputFieldEntry();        // "Input field"

struct KeyOutcome {
    enum Action { Reject, Accept, Replace };
    Action action = Reject;
    QString text;    // Replace: the field's new text (the key is consumed)
    int cursor = -1; // Replace: the caret position afterwards
};
// A key typed into a power field whose text, less any selection the key replaces, is `text`:
// backspace, "." and digits only; "." into an empty field or one that shows "Input field"
// gives "0." with the caret after the point.
KeyOutcome key(QChar typed, const QString &text);

// Leaving a power field: a text that is not a number (empty, "Input field") becomes "0"; a
// number that begins with its point gets the zero before it (".95" is kept as "0.95").
QString finished(const QString &text);

// power_en: the fields are locked while the power cost monitor runs on a recording.
inline bool enabled(bool powerCommandChecked, bool recordingCommandChecked)
{
    return !(powerCommandChecked && recordingCommandChecked);
}

} // namespace PowerFields
