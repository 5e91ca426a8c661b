#include "core/common/SaveFileNames.h"

#include <QRegularExpression>

#include "core/common/Files.h"

namespace SaveFileNames
{

QStringList suffixes(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([^ ;)]+)"));
    QStringList found;
    for (const QString &entry : filter.split(QStringLiteral(";;"))) {
        const QRegularExpressionMatch match = pattern.match(entry);
        found << (match.hasMatch() ? match.captured(1).toLower() : QString());
    }
    return found;
}

QString finalName(const QString &typed, const QString &filter, int chosen)
{
    const QStringList offered = suffixes(filter);
    const QString appended = offered.value(chosen, offered.value(0));
    const QString name = fileNameOfPath(typed);
    if (name.isEmpty() || appended.isEmpty()) return typed;
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    if (!suffix.isEmpty() && offered.contains(suffix)) return typed;
    if (suffix == QLatin1String("xls") && offered.contains(QStringLiteral("xlsx")))
        return typed.chopped(3) + QStringLiteral("xlsx");
    // "rec1." means "rec1", not a name with an empty suffix.
    const QString stem = suffix.isEmpty() && dot == name.size() - 1 ? typed.chopped(1) : typed;
    return stem + QLatin1Char('.') + appended;
}

} // namespace SaveFileNames
