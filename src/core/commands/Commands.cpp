#include "core/commands/Commands.h"

#include "core/commands/CommandState.h"
#include "core/link/LinkProber.h"
#include "core/monitor/MonitorFields.h"
#include "core/recording/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/session/WindowHooks.h"

#include <QHash>
#include <QStringList>
#include <cmath>

namespace
{

const QString Table = QStringLiteral("mntab");
const QString Monitor = QStringLiteral("mnmo");
const QString Graph = QStringLiteral("mngr");
const QString Power = QStringLiteral("mnpower");
const QString Connect = QStringLiteral("mnconnect");

constexpr double SamplesPerPage = 100.0;

} // namespace

Commands::Commands(Session &session) : m_session(session) {}

bool Commands::toggle(const QString &item)
{
    CommandState &commands = m_session.commands();
    const bool shown = !commands.isChecked(item);
    commands.setChecked(item, shown);
    return shown;
}

void Commands::toggleTable()
{
    toggle(Table);
}

void Commands::toggleMonitor()
{
    toggle(Monitor);
}

void Commands::toggleGraph()
{
    toggle(Graph);
    if (m_session.monitor().file.isEmpty()) return;
    GraphHooks &graph = m_session.graph();
    graph.tickText();
    graph.setPageBox(QStringLiteral("0"));
    graph.setPageBox(QString::number(graphPageCount()));
}

int Commands::graphPageCount() const
{
    const double factor = m_session.settings().timeAxisFactor;
    const int dataRows = m_session.record().gridRowCount() - 2;
    if (factor <= 0 || dataRows <= 0) return 0;
    return int(std::ceil(dataRows / SamplesPerPage / factor));
}

void Commands::togglePower()
{
    toggle(Power);
    m_session.power().powerCheck();
}

void Commands::connectCommand()
{
    CommandState &commands = m_session.commands();
    AcquisitionState &state = m_session.state();
    if (commands.isChecked(Connect)) {
        commands.setChecked(Connect, false);
        m_session.recording().stop();
        commands.setButtonEnabled(QStringLiteral("connect"), true);
        state.linkUp = false;
        return;
    }
    if (!state.linkUp) m_session.link().linkOn();
    // A failed link has told the user already and changes nothing here.
    if (state.linkUp) commands.applyLinked();
}

void Commands::closeAll()
{
    RecordingControl &recording = m_session.recording();
    if (recording.timerEnabled()) recording.disableTimer();
    m_session.state().linkUp = false; // the port itself stays as it is
    const CommandState &commands = m_session.commands();
    if (commands.isChecked(Graph)) toggleGraph();
    if (commands.isChecked(Table)) toggleTable();
    if (commands.isChecked(Monitor)) toggleMonitor();
    if (commands.isChecked(Power)) togglePower();
}

void Commands::arrange()
{
    CommandState &commands = m_session.commands();
    if (!commands.isChecked(Graph) && !commands.isChecked(Table) && !commands.isChecked(Monitor)) return;
    commands.setChecked(QStringLiteral("mnArr_icons"), true);
    Q_EMIT arrangeRequested();
}

void Commands::menuCommand(const QString &item)
{
    // Commands of parts of the program this version does not have yet.
    static const QStringList unavailable{
        QStringLiteral("mnopen"),        QStringLiteral("mnSaveData"),    QStringLiteral("pop_SaveData"),
        QStringLiteral("mnsaveBmp"),     QStringLiteral("pop_SaveGraph"), QStringLiteral("mnpritab"),
        QStringLiteral("pop_PrintData"), QStringLiteral("mnPrigr"),       QStringLiteral("pop_PrintGraph"),
        QStringLiteral("mnsetup"),       QStringLiteral("mnoption"),      QStringLiteral("mnVK47"),
        QStringLiteral("mnhe"),          QStringLiteral("mnabout")};
    RecordingControl &recording = m_session.recording();
    if (item == QLatin1String("mnexit"))
        Q_EMIT exitRequested();
    else if (item == QLatin1String("mnClear"))
        recording.clearCommand();
    else if (item == Table)
        toggleTable();
    else if (item == Monitor)
        toggleMonitor();
    else if (item == Graph)
        toggleGraph();
    else if (item == Power)
        togglePower();
    else if (item == Connect)
        connectCommand();
    else if (item == QLatin1String("mnrun"))
        recording.run();
    else if (item == QLatin1String("mnpause"))
        recording.pause();
    else if (item == QLatin1String("mnstop"))
        recording.stop();
    else if (item == QLatin1String("mnArr_icons"))
        arrange();
    else if (unavailable.contains(item))
        Q_EMIT commandUnavailable(item);
}

void Commands::toolbarClicked(const QString &key)
{
    // Each button runs the same procedure as its menu item.
    static const QHash<QString, QString> itemOfKey{{QStringLiteral("open"), QStringLiteral("mnopen")},
                                                   {QStringLiteral("monitor"), Monitor},
                                                   {QStringLiteral("grid"), Table},
                                                   {QStringLiteral("graph"), Graph},
                                                   {QStringLiteral("power"), Power},
                                                   {QStringLiteral("connect"), Connect},
                                                   {QStringLiteral("start"), QStringLiteral("mnrun")},
                                                   {QStringLiteral("pause"), QStringLiteral("mnpause")},
                                                   {QStringLiteral("stop"), QStringLiteral("mnstop")},
                                                   {QStringLiteral("help"), QStringLiteral("mnhe")}};
    if (key == QLatin1String("save"))
        Q_EMIT popupRequested(QStringLiteral("pop"));
    else if (key == QLatin1String("print"))
        Q_EMIT popupRequested(QStringLiteral("pop_print"));
    else if (const auto found = itemOfKey.constFind(key); found != itemOfKey.constEnd())
        menuCommand(*found);
}
