#pragma once
#include <QObject>

#include "core/help/HelpDocuments.h"

class QWidget;
class Session;

// The Help menu's commands: the user's manual and the help document in the language of the
// windows (the English one when that is missing, nothing at all when both are), opened with
// the desktop's document handler, which is told when there is none; and the About box.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    // `languageId`: the system language, read once at start-up, which the About box shows;
    // `documentLanguageId`: the language the documents are chosen by.
    HelpCommands(Session &session, QWidget &frame, int languageId, int documentLanguageId);

    // Installs the Manual, Help and About procedures on the session's commands.
    static HelpCommands *install(Session &session, QWidget &frame);

    void openDocument(HelpDocuments::Document document);
    void showAbout(); // modal
    int languageId() const { return m_languageId; }

private:
    Session &m_session;
    QWidget &m_frame;
    const int m_languageId;
    const int m_documentLanguageId;
};
