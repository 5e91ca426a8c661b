#include "core/setup/PowerFields.h"

#include <QCoreApplication>

#include "core/common/NumberFormat.h"
#include "core/setup/SetupKeys.h"

namespace PowerFields
{

QStringList powerFactorEntries()
{
    return {QStringLiteral("0.8"), QStringLiteral("0.9"), NumberFormat::format(1, u"#0.0"),
            inputFieldEntry()};
}

QString inputFieldEntry()
{
    return QCoreApplication::translate("PowerFields", "Input field");
}

KeyOutcome key(QChar typed, const QString &text)
{
    if (!SetupKeys::isEditOrDecimal(typed)) return {};
    if (typed == u'.' && (text.isEmpty() || text == inputFieldEntry()))
        return {KeyOutcome::Replace, QStringLiteral("0."), 2};
    return {KeyOutcome::Accept, {}, -1};
}

QString finished(const QString &text)
{
    if (!NumberFormat::isNumeric(text)) return QStringLiteral("0");
    const QString number = text.trimmed();
    return number.startsWith(u'.') ? QLatin1Char('0') + number : text;
}

} // namespace PowerFields
