#include "core/settings/UserSettings.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace
{

// Each read passes the field's current value as the default, so a missing key leaves it as is.
template <class Fields>
void load(Settings &settings, const SettingsStore &store, const SettingsKeys::Key<Fields> &key)
{
    const QString stored = store.get(QLatin1String(key.readName), SettingsKeys::fieldText(settings, key));
    SettingsKeys::setFieldFromText(settings, key, stored);
}

template <class Fields>
void save(const Settings &settings, SettingsStore &store, const SettingsKeys::Key<Fields> &key)
{
    store.save(QLatin1String(key.writeName), SettingsKeys::fieldText(settings, key));
}

// The group's fields of `edited`, held to the values their keys may take.
template <class Fields, std::size_t Count>
Settings taken(Settings settings, const Settings &edited,
               const std::array<SettingsKeys::Key<Fields>, Count> &keys)
{
    for (const SettingsKeys::Key<Fields> &key : keys)
        SettingsKeys::setFieldFromText(settings, key, SettingsKeys::fieldText(edited, key));
    return settings;
}

} // namespace

UserSettings::UserSettings(SettingsStore &store, QObject *parent) : QObject(parent), m_store(store) {}

void UserSettings::loadSetup(bool readUnit)
{
    for (const SettingsKeys::SetupKey &key : SettingsKeys::setupKeys())
        if (&key != &SettingsKeys::unitKey() || readUnit) load(m_values, m_store, key);
    m_values.applyLoadRules();
    Q_EMIT setupChanged();
}

void UserSettings::loadOptions()
{
    for (const SettingsKeys::OptionKey &key : SettingsKeys::optionKeys())
        load(m_values, m_store, key);
    Q_EMIT optionsChanged();
}

void UserSettings::saveSetup(const Settings &edited)
{
    Settings saved = taken(m_values, edited, SettingsKeys::setupKeys());
    for (const SettingsKeys::SetupKey *key : SettingsKeys::setupWriteOrder())
        save(saved, m_store, *key);
    saved.deriveFromSetup();
    m_values = saved;
    Q_EMIT setupChanged();
}

void UserSettings::saveOptions(const Settings &edited)
{
    const Settings saved = taken(m_values, edited, SettingsKeys::optionKeys());
    for (const SettingsKeys::OptionKey &key : SettingsKeys::optionKeys())
        save(saved, m_store, key);
    m_values = saved;
    Q_EMIT optionsChanged();
}
