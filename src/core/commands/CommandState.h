#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// The enable and check state of every menu item (by item name, e.g. "mnrun") and the enable
// state of every toolbar button (by key, e.g. "start"). The check marks of "mnrun",
// "mnpause", "mnstop" and "mnconnect" are the recording state; those of "mntab", "mnmo",
// "mngr" and "mnpower" say whether the window is shown. The main window mirrors this.
class CommandState : public QObject
{
    Q_OBJECT
public:
    explicit CommandState(QObject *parent = nullptr);

    static const QStringList &menuItems();   // every named item, in menu order
    static const QStringList &toolbarKeys(); // the twelve keys, left to right

    bool isEnabled(const QString &item) const;
    bool isChecked(const QString &item) const;
    bool isButtonEnabled(const QString &key) const;
    void setEnabled(const QString &item, bool on);
    void setChecked(const QString &item, bool on);
    void setButtonEnabled(const QString &key, bool on);

    // the recording flags
    bool running() const { return isChecked(QStringLiteral("mnrun")); }
    bool paused() const { return isChecked(QStringLiteral("mnpause")); }
    bool stopped() const { return isChecked(QStringLiteral("mnstop")); }

    // rows of the enable table
    void applyIdle();
    void applyLinked();
    void applyUnlinked();
    void applyRecording();
    void applyPaused();
    void applyStopped();

Q_SIGNALS:
    void changed();

private:
    QHash<QString, bool> m_enabled;
    QHash<QString, bool> m_checked;
    QHash<QString, bool> m_buttonEnabled;
};
