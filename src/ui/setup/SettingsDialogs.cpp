#include "ui/setup/SettingsDialogs.h"

#include "core/commands/Commands.h"
#include "core/commands/OptionsProcedures.h"
#include "core/commands/SetupProcedures.h"
#include "core/recording/RecordingStatus.h"
#include "core/session/Session.h"
#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"

namespace
{

void bringUp(QWidget *dialog)
{
    dialog->show();
    dialog->activateWindow();
}

} // namespace

SettingsDialogs::SettingsDialogs(Session &session, QWidget &frame)
    : QObject(&frame), m_session(session), m_frame(frame),
      m_setupProcedures(std::make_unique<SetupProcedures>(SetupProcedures::Collaborators{
          session.userSettings(), session.state(), session.alarmSetup(), session.monitor(), session.record(),
          session.status(), session.windows(), session.graphHooks(), session.powerCost()})),
      m_optionsProcedures(std::make_unique<OptionsProcedures>(session.userSettings(), session.graphHooks()))
{
    const auto refresh = [this] {
        if (m_setup) m_setup->refreshLocks();
    };
    connect(&session.status(), &RecordingStatus::modeChanged, this, refresh);
    connect(&session.windows(), &WindowVisibility::visibilityChanged, this, refresh);
}

SettingsDialogs::~SettingsDialogs() = default;

SettingsDialogs *SettingsDialogs::install(Session &session, QWidget &frame)
{
    auto *dialogs = new SettingsDialogs(session, frame);
    Commands &commands = session.commandProcs();
    commands.setHandler(Command::Setup, [dialogs] { dialogs->openSetup(); });
    commands.setHandler(Command::Options, [dialogs] { dialogs->openOptions(); });
    return dialogs;
}

void SettingsDialogs::openSetup()
{
    if (!m_setup) m_setup = new fmsetup(*m_setupProcedures, m_session.prompts(), &m_frame);
    bringUp(m_setup);
    m_setup->refreshLocks();
}

void SettingsDialogs::openOptions()
{
    if (!m_options) m_options = new Fmoption(*m_optionsProcedures, m_session.prompts(), &m_frame);
    bringUp(m_options);
}
