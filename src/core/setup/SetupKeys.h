#pragma once
#include <QChar>

// The characters the Setup dialog's number fields accept, as typed keys.
namespace SetupKeys
{

constexpr QChar Backspace{u'\b'};

// Backspace, a digit or the decimal point: the keys every number field of the dialog takes.
inline bool isEditOrDecimal(QChar key)
{
    return key == Backspace || key == u'.' || (key >= u'0' && key <= u'9');
}

} // namespace SetupKeys
