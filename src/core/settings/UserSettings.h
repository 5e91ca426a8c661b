#pragma once
#include <QObject>

#include "core/settings/Settings.h"

class SettingsStore;

// The program's one Settings and the store behind it. Loading or saving a group announces the
// change, so the windows and rules that show or use that group follow it.
class UserSettings : public QObject
{
    Q_OBJECT
public:
    explicit UserSettings(SettingsStore &store, QObject *parent = nullptr);

    const Settings &values() const { return m_values; }
    SettingsStore &store() const { return m_store; }

    // `readUnit`: whether setup_unit is read (only while the main channel measures DCV).
    void loadSetup(bool readUnit);
    void loadOptions();
    void saveSetup(const Settings &edited);
    void saveOptions(const Settings &edited);

Q_SIGNALS:
    void setupChanged();
    void optionsChanged();

private:
    SettingsStore &m_store;
    Settings m_values;
};
