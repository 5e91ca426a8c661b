#include "ui/printing/PrintFeature.h"

#include "core/commands/Commands.h"
#include "core/followers/GraphFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/session/Session.h"
#include "core/session/UnattendedRun.h"
#include "core/settings/UserSettings.h"

PrintFeature::PrintFeature(Session &session, QWidget *dialogParent)
    : QObject(dialogParent), m_outputs({session.record(), session.monitor(), session.userSettings(),
                                        session.windows(), session.graph().page(), &session.lanes()}),
      m_printer(dialogParent, &session.store()), m_commands(session.prompts(), m_printer, m_printer),
      m_saver(session.prompts(), m_svg)
{
    Commands &commands = session.commandProcs();
    commands.setHandler(Command::PrintData, [this] { m_outputs.printData(m_commands); });
    commands.setHandler(Command::PrintGraph, [this] { m_outputs.printGraph(m_commands); });
    commands.setHandler(Command::SaveGraph, [this] { m_outputs.saveGraph(m_saver); });
}

void PrintFeature::addUnattendedOutputs(UnattendedRun &run, const UnattendedFiles &files)
{
    if (!files.dataPdf.isEmpty())
        run.addOutput(QStringLiteral("table printed"), files.dataPdf,
                      [this, path = files.dataPdf] { return m_outputs.printDataTo(path); });
    if (!files.graphPdf.isEmpty())
        run.addOutput(QStringLiteral("graph printed"), files.graphPdf,
                      [this, path = files.graphPdf] { return m_outputs.printGraphTo(path); });
    if (!files.graphImage.isEmpty())
        run.addOutput(QStringLiteral("graph saved"), files.graphImage,
                      [this, path = files.graphImage] { return m_outputs.saveGraphTo(path, m_svg); });
}
