#include "core/language/UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/language/SystemLanguage.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace UiLanguage
{

const QStringList &codes()
{
    static const QStringList all{QStringLiteral("en"), QStringLiteral("ja"), QStringLiteral("zh_TW")};
    return all;
}

std::optional<QString> parse(const QString &name)
{
    if (codes().contains(name)) return name;
    return std::nullopt;
}

QString fromSystem(int languageId)
{
    if (languageId == SystemLanguage::Japanese) return QStringLiteral("ja");
    if (languageId == SystemLanguage::ChineseTaiwan) return QStringLiteral("zh_TW");
    return QStringLiteral("en");
}

namespace
{

QString &installedCode()
{
    static QString code = QStringLiteral("en");
    return code;
}

} // namespace

int languageId(const QString &code)
{
    if (code == QLatin1String("ja")) return SystemLanguage::Japanese;
    if (code == QLatin1String("zh_TW")) return SystemLanguage::ChineseTaiwan;
    return SystemLanguage::EnglishUnitedStates;
}

QString current()
{
    return installedCode();
}

QString choose(const QString &commandLine, const QString &stored, int systemLanguageId)
{
    for (const QString &choice : {commandLine, stored})
        if (const std::optional<QString> code = parse(choice)) return *code;
    return fromSystem(systemLanguageId);
}

QString stored(const SettingsStore &store)
{
    const SettingsKeys::Name &key = SettingsKeys::languageKey();
    return parse(store.get(QLatin1String(key.readName), QString())).value_or(QString());
}

void store(SettingsStore &store, const QString &code)
{
    store.save(QLatin1String(SettingsKeys::languageKey().writeName), parse(code).value_or(QString()));
}

Translations::Translations(const QString &code)
{
    if (code == QLatin1String("en")) return;
    m_own = std::make_unique<QTranslator>();
    m_loaded = m_own->load(QStringLiteral("voltrix_") + code, QStringLiteral(":/i18n"));
    if (m_loaded) {
        QCoreApplication::installTranslator(m_own.get());
        installedCode() = code;
    }
    m_qt = std::make_unique<QTranslator>();
    if (m_qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_qt.get());
}

Translations::~Translations()
{
    if (m_own) QCoreApplication::removeTranslator(m_own.get());
    installedCode() = QStringLiteral("en");
    if (m_qt) QCoreApplication::removeTranslator(m_qt.get());
}

} // namespace UiLanguage
