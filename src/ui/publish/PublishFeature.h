#pragma once
#include <QObject>

#include "ui/common/ElidedLabel.h"

class QMainWindow;
class Session;

// The "Publish readings" command and the publisher's state on the main window's status line
// (its status bar): off, connecting, connected to host:port, or the last error.
class PublishFeature : public QObject
{
    Q_OBJECT
public:
    static PublishFeature *install(Session &session, QMainWindow &frame);
    void openDialog();

private:
    PublishFeature(Session &session, QMainWindow &frame);

    Session &m_session;
    QMainWindow &m_frame;
    ElidedLabel *m_status;
};
