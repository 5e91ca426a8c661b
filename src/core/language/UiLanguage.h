#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTranslator;
class SettingsStore;

// The language of the windows: "en", "ja" or "zh_TW". The command line's choice comes first,
// then the one kept by the Options dialog, then the system's language (1041 Japanese, 1028
// Chinese (Taiwan), anything else English).
namespace UiLanguage
{

const QStringList &codes();
// The code named, or nothing for a name that is none of the codes.
std::optional<QString> parse(const QString &name);
QString fromSystem(int languageId);
QString choose(const QString &commandLine, const QString &stored, int systemLanguageId);

// The language ID of the help documents in a language of the windows (1041, 1028, else 1033).
// For the language the system's ID selects, it selects the same documents as that ID.
int languageId(const QString &code);
// The language the windows show: that of the living Translations, "en" when there is none.
QString current();

// The choice kept in the settings store; "" follows the system.
QString stored(const SettingsStore &store);
void store(SettingsStore &store, const QString &code);

// The program's own texts and Qt's (dialog buttons, file and print dialogs) in one language,
// installed into the application for as long as the object lives; English installs nothing.
class Translations
{
public:
    explicit Translations(const QString &code);
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // False when the program's translation could not be loaded.
    bool loaded() const { return m_loaded; }

private:
    std::unique_ptr<QTranslator> m_own;
    std::unique_ptr<QTranslator> m_qt;
    bool m_loaded = true;
};

} // namespace UiLanguage
