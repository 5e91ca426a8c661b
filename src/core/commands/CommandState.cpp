#include "core/commands/CommandState.h"

#include <initializer_list>

namespace
{

// One row of the enable table touches only the items it names; everything else keeps its state.
using Names = std::initializer_list<const char *>;

void setAll(QHash<QString, bool> &states, Names names, bool on)
{
    for (const char *name : names)
        states.insert(QLatin1String(name), on);
}

} // namespace

CommandState::CommandState(QObject *parent) : QObject(parent)
{
    for (const QString &item : menuItems()) {
        m_enabled.insert(item, true);
        m_checked.insert(item, false);
    }
    for (const QString &key : toolbarKeys())
        m_buttonEnabled.insert(key, true);
}

const QStringList &CommandState::menuItems()
{
    static const QStringList items{
        // menu bar
        QStringLiteral("mnfile"), QStringLiteral("mnopen"), QStringLiteral("par4"), QStringLiteral("mnsave"),
        QStringLiteral("mnSaveData"), QStringLiteral("mnsaveBmp"), QStringLiteral("par5"),
        QStringLiteral("mnprint"), QStringLiteral("mnpritab"), QStringLiteral("mnPrigr"),
        QStringLiteral("par_0"), QStringLiteral("mnexit"), QStringLiteral("mnsetup"),
        QStringLiteral("mnedit"), QStringLiteral("mnClear"), QStringLiteral("mnveiw"),
        QStringLiteral("mntab"), QStringLiteral("mnmo"), QStringLiteral("mngr"), QStringLiteral("mnpower"),
        QStringLiteral("mnrecord"), QStringLiteral("mnconnect"), QStringLiteral("par2"),
        QStringLiteral("mnrun"), QStringLiteral("mnpause"), QStringLiteral("mnstop"),
        QStringLiteral("mnoption"), QStringLiteral("mnwindow"), QStringLiteral("mnArr_icons"),
        QStringLiteral("mnhelp"), QStringLiteral("mnVK47"), QStringLiteral("mnhe"), QStringLiteral("par_3"),
        QStringLiteral("mnabout"),
        // pop-up menus
        QStringLiteral("pop_SaveData"), QStringLiteral("pop_SaveGraph"), QStringLiteral("pop_PrintData"),
        QStringLiteral("pop_PrintGraph"), QStringLiteral("Skip")};
    return items;
}

const QStringList &CommandState::toolbarKeys()
{
    static const QStringList keys{
        QStringLiteral("open"),  QStringLiteral("save"),  QStringLiteral("print"), QStringLiteral("monitor"),
        QStringLiteral("grid"),  QStringLiteral("graph"), QStringLiteral("power"), QStringLiteral("connect"),
        QStringLiteral("start"), QStringLiteral("pause"), QStringLiteral("stop"),  QStringLiteral("help")};
    return keys;
}

bool CommandState::isEnabled(const QString &item) const
{
    return m_enabled.value(item, false);
}

bool CommandState::isChecked(const QString &item) const
{
    return m_checked.value(item, false);
}

bool CommandState::isButtonEnabled(const QString &key) const
{
    return m_buttonEnabled.value(key, false);
}

// Names that are not items of this program are ignored, as a toolbar key that matches nothing is.
void CommandState::setEnabled(const QString &item, bool on)
{
    const auto it = m_enabled.find(item);
    if (it == m_enabled.end() || *it == on) return;
    *it = on;
    Q_EMIT changed();
}

void CommandState::setChecked(const QString &item, bool on)
{
    const auto it = m_checked.find(item);
    if (it == m_checked.end() || *it == on) return;
    *it = on;
    Q_EMIT changed();
}

void CommandState::setButtonEnabled(const QString &key, bool on)
{
    const auto it = m_buttonEnabled.find(key);
    if (it == m_buttonEnabled.end() || *it == on) return;
    *it = on;
    Q_EMIT changed();
}

void CommandState::applyIdle()
{
    for (auto it = m_enabled.begin(); it != m_enabled.end(); ++it)
        *it = true;
    for (auto it = m_checked.begin(); it != m_checked.end(); ++it)
        *it = false;
    for (auto it = m_buttonEnabled.begin(); it != m_buttonEnabled.end(); ++it)
        *it = true;
    Q_EMIT changed();
}

void CommandState::applyLinked()
{
    setAll(m_checked, {"mnconnect"}, true);
    setAll(m_buttonEnabled, {"connect"}, false);
    Q_EMIT changed();
}

void CommandState::applyUnlinked()
{
    setAll(m_checked, {"mnconnect"}, false);
    setAll(m_buttonEnabled, {"connect"}, true);
    Q_EMIT changed();
}

void CommandState::applyRecording()
{
    setAll(m_checked, {"mnrun", "mnconnect"}, true);
    setAll(m_checked, {"mnpause", "mnstop"}, false);
    setAll(m_enabled, {"mnfile", "mnedit", "mnopen", "mnsave", "mnprint"}, false);
    setAll(m_enabled, {"mnSaveData", "pop_SaveData", "mnpower"}, true);
    setAll(m_buttonEnabled, {"open", "save", "print", "start", "connect"}, false);
    setAll(m_buttonEnabled, {"pause", "stop", "power"}, true);
    Q_EMIT changed();
}

void CommandState::applyPaused()
{
    setAll(m_checked, {"mnpause"}, true);
    setAll(m_checked, {"mnrun", "mnstop"}, false);
    setAll(m_enabled, {"mnopen", "mnsave", "mnprint"}, false);
    setAll(m_buttonEnabled, {"open", "save", "print", "pause"}, false);
    setAll(m_buttonEnabled, {"start", "stop"}, true);
    Q_EMIT changed();
}

void CommandState::applyStopped()
{
    setAll(m_checked, {"mnstop"}, true);
    setAll(m_checked, {"mnrun", "mnpause"}, false);
    setAll(m_enabled,
           {"mnfile", "mnsetup", "mnedit", "mnveiw", "mnrecord", "mnoption", "mnwindow", "mnhelp", "mnopen",
            "mnsave", "mnprint"},
           true);
    setAll(m_buttonEnabled, {"open", "save", "print", "start", "pause", "stop"}, true);
    Q_EMIT changed();
}
