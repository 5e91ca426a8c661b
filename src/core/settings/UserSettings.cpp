#include "core/settings/UserSettings.h"
#include "core/settings/SettingsKeys.h"

UserSettings::UserSettings(SettingsStore &store, QObject *parent) : QObject(parent), m_store(store) {}

void UserSettings::loadSetup(bool readUnit)
{
    m_values.loadSetup(m_store, readUnit);
    Q_EMIT setupChanged();
}

void UserSettings::loadOptions()
{
    m_values.loadOptions(m_store);
    Q_EMIT optionsChanged();
}

void UserSettings::saveSetup(const Settings &edited)
{
    Settings saved = m_values;
    for (const SettingsKeys::Key &key : SettingsKeys::setupKeys())
        SettingsKeys::setFieldFromText(saved, key, SettingsKeys::fieldText(edited, key));
    saved.saveSetup(m_store);
    m_values = saved;
    Q_EMIT setupChanged();
}

void UserSettings::saveOptions(const Settings &edited)
{
    Settings saved = m_values;
    for (const SettingsKeys::Key &key : SettingsKeys::optionKeys())
        SettingsKeys::setFieldFromText(saved, key, SettingsKeys::fieldText(edited, key));
    saved.saveOptions(m_store);
    m_values = saved;
    Q_EMIT optionsChanged();
}
