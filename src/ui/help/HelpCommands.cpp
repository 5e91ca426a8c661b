#include "ui/help/HelpCommands.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/help/SystemInfo.h"
#include "core/language/SystemLanguage.h"
#include "core/language/UiLanguage.h"
#include "core/session/Session.h"
#include "core/settings/SettingsStore.h"
#include "ui/help/FmAbout.h"

HelpCommands::HelpCommands(Session &session, QWidget &frame, int languageId, int documentLanguageId)
    : QObject(&frame), m_session(session), m_frame(frame), m_languageId(languageId),
      m_documentLanguageId(documentLanguageId)
{
}

HelpCommands *HelpCommands::install(Session &session, QWidget &frame)
{
    // The documents follow the language the windows show, which is the system's unless the
    // user chose another.
    auto *help = new HelpCommands(session, frame, SystemLanguage::systemLanguageId(),
                                  UiLanguage::languageId(UiLanguage::current()));
    Commands &commands = session.commandProcs();
    commands.setHandler(Command::Manual, [help] { help->openDocument(HelpDocuments::Document::Manual); });
    commands.setHandler(Command::Help, [help] { help->openDocument(HelpDocuments::Document::Help); });
    commands.setHandler(Command::About, [help] { help->showAbout(); });
    return help;
}

void HelpCommands::openDocument(HelpDocuments::Document document)
{
    const QString path = HelpDocuments::locate(document, m_documentLanguageId);
    // Neither the language's document nor the English one: nothing happens.
    if (path.isEmpty()) return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        m_session.prompts().message(HelpDocuments::cannotOpenText(path), applicationTitle(),
                                    Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

void HelpCommands::showAbout()
{
    const int languageId = m_languageId;
    const QString settingsFile = m_session.store().fileName();
    FmAbout about(
        languageId, m_frame.windowIcon(),
        [languageId, settingsFile] {
            return SystemInfo::text(SystemInfo::gather(),
                                    {languageId, AppPaths::recordsFolder(), settingsFile});
        },
        m_session.prompts(), &m_frame);
    about.exec();
}
