#include "core/help/HelpDocuments.h"

#include <QCoreApplication>
#include <QDir>

#include "core/common/AppPaths.h"
#include "core/language/SystemLanguage.h"

namespace HelpDocuments
{

QString fileName(Document document, int languageId)
{
    const bool manual = document == Document::Manual;
    switch (languageId) {
    case SystemLanguage::ChineseTaiwan:
        return manual ? QStringLiteral(u"Voltrix使用說明書.pdf") : QStringLiteral("help_ch.pdf");
    case SystemLanguage::Japanese:
        return manual ? QStringLiteral("Voltrix user's manual_jp.pdf") : QStringLiteral("help_jp.pdf");
    default:
        return englishFileName(document);
    }
}

QString englishFileName(Document document)
{
    return document == Document::Manual ? QStringLiteral("Voltrix user's manual.pdf")
                                        : QStringLiteral("help_en.pdf");
}

QString locate(Document document, int languageId, const Finder &find)
{
    const Finder finder = find ? find : Finder(&AppPaths::findAsset);
    const QString own = finder(fileName(document, languageId));
    return own.isEmpty() ? finder(englishFileName(document)) : own;
}

QString cannotOpenText(const QString &path)
{
    return QCoreApplication::translate("HelpDocuments", "No program could open the document %1.")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace HelpDocuments
