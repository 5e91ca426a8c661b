#include "support/RecordingSession.h"

#include "core/common/AppPaths.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordingControl.h"

RecordingSession::RecordingSession()
    : store(m_folder.filePath(QStringLiteral("settings.ini"))), session(serial, clock, prompts, store)
{
    AppPaths::setRecordsFolderOverride(m_folder.path());
    session.workbookSaver().setFallbackFolder(m_folder.filePath(QStringLiteral("fallback")));
    serial.setAnsweringPorts({1});
    session.setRecordSaver(&m_saver);
    session.recording().setTimerRunsByItself(false);
    session.startUp();
}

RecordingSession::~RecordingSession()
{
    session.setRecordSaver(nullptr);
    AppPaths::setRecordsFolderOverride(QString());
}

void RecordingSession::start()
{
    session.recording().start();
}
