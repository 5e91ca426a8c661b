#pragma once
#include <QColor>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

// Every question the program asks the user goes through this seam. The program shows real
// dialogs; tests record the exact text, title, buttons and icon and answer from a script;
// unattended runs answer by rule and print the question to standard error.
class Prompts
{
public:
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Icon { None, Question, Information, Warning, Critical };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Prompts() = default;
    virtual Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) = 0;

    // File dialogs: an empty result means cancelled.
    virtual QString openFileName(const QString &title, const QString &directory, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &suggestedPath,
                                 const QString &filter) = 0;
    // The colour dialog, opened on `initial`: the confirmed colour, or nothing when cancelled.
    virtual std::optional<QColor> chooseColor(const QColor &initial, const QString &title) = 0;
};

// The application's title, used for message boxes that carry no title of their own.
inline QString applicationTitle()
{
    return QStringLiteral("Voltrix");
}

// What a command of a part of the program not built yet tells the user.
inline QString notAvailableYetText(const QString &command)
{
    return QCoreApplication::translate("Prompts", "%1 is not available in this version yet.").arg(command);
}
