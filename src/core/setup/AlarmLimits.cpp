#include "core/setup/AlarmLimits.h"

#include <QCoreApplication>

#include "core/common/NumberFormat.h"
#include "core/setup/SetupKeys.h"

#include <QRegularExpression>

namespace AlarmLimits
{
namespace
{

bool isDc(int function)
{
    return function == Measurement::DCV || function == Measurement::DCA;
}

bool isAc(int function)
{
    return function == Measurement::ACV || function == Measurement::ACA;
}

// What a number looks like before its first digit has been typed.
bool isStartOfNumber(const QString &text)
{
    static const QRegularExpression start(QStringLiteral("^[ \\t]*[+-]?\\.?[ \\t]*$"));
    return start.match(text).hasMatch();
}

int decimalsOf(const QString &text)
{
    const qsizetype point = text.indexOf(u'.');
    if (point < 0) return 0;
    int count = 0;
    for (qsizetype i = point + 1; i < text.size() && text.at(i).isDigit(); ++i)
        ++count;
    return count;
}

bool inVolts(const Context &context)
{
    return context.mainFunction == Measurement::DCV && context.unit == QLatin1String("V");
}

Edit check(const QString &text, const Context &context, bool typing)
{
    if (text.isEmpty() || !context.recordHasSample) return {text, false};
    bool ok = false;
    const double value = NumberFormat::parseNumber(text, &ok);
    if (!ok) {
        if (typing && isStartOfNumber(text)) return {text, false};
        return {fallbackLimit(), true};
    }
    if (value < context.range.lower) return {NumberFormat::format(context.range.lower, u"0"), false};
    if (value > context.range.upper) return {NumberFormat::format(context.range.upper, u"0"), false};
    if (!typing && decimalsOf(text) > (inVolts(context) ? 3 : 1))
        return {NumberFormat::format(value, inVolts(context) ? u"###0.000" : u"###0.0"), false};
    return {text, false};
}

} // namespace

QString entryErrorMessage()
{
    return QCoreApplication::translate("AlarmLimits", "Data entry error ! ");
}

QString fallbackLimit()
{
    return QStringLiteral("100");
}

bool acceptsKey(int mainFunction, QChar key)
{
    if (isDc(mainFunction)) return key == u'-' || SetupKeys::isEditOrDecimal(key);
    if (isAc(mainFunction)) return SetupKeys::isEditOrDecimal(key);
    return false;
}

Edit textChanged(const QString &text, const Context &context)
{
    return check(text, context, true);
}

Edit editingFinished(const QString &text, const Context &context)
{
    return check(text, context, false);
}

} // namespace AlarmLimits
