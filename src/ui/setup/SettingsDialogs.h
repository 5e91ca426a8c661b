#pragma once
#include <QObject>
#include <QPointer>
#include <memory>

#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"

class OptionsProcedures;
class QWidget;
class Session;
class SetupProcedures;

// The Setup and Options commands: each loads its dialog and shows it modeless (again to the
// front when it is open already). The Setup dialog's power and alarm fields follow the
// recording state and the power window while it is open.
class SettingsDialogs : public QObject
{
    Q_OBJECT
public:
    SettingsDialogs(Session &session, QWidget &frame);
    ~SettingsDialogs() override;

    // Installs the two commands' procedures on the session's commands.
    static SettingsDialogs *install(Session &session, QWidget &frame);

    void openSetup();
    void openOptions();

private:
    Session &m_session;
    QWidget &m_frame;
    std::unique_ptr<SetupProcedures> m_setupProcedures;
    std::unique_ptr<OptionsProcedures> m_optionsProcedures;
    QPointer<fmsetup> m_setup;
    QPointer<Fmoption> m_options;
};
