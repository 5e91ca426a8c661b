#include "core/settings/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace
{

const QString Section = QStringLiteral("VK47");

QString defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/regtest.ini");
}

// Every key lives under its lower-case form, so the differently spelled reads and writes of
// one setting (setup_selePort / setup_seleport) meet in one entry.
QString storedKey(const QString &key)
{
    return Section + QLatin1Char('/') + key.toLower();
}

// A key typed into the file by hand may carry any spelling; find it when the folded form is
// absent.
QString findKey(const QSettings &settings, const QString &key)
{
    const QString folded = storedKey(key);
    if (settings.contains(folded)) return folded;
    const QStringList keys = settings.allKeys();
    for (const QString &candidate : keys) {
        if (candidate.compare(folded, Qt::CaseInsensitive) == 0) return candidate;
    }
    return QString();
}

SettingsStore::ReadFault readFaultOf(QSettings::Status status)
{
    switch (status) {
    case QSettings::AccessError:
        return SettingsStore::ReadFault::Unreadable;
    case QSettings::FormatError:
        return SettingsStore::ReadFault::Damaged;
    case QSettings::NoError:
        break;
    }
    return SettingsStore::ReadFault::None;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFilePath()) {}

SettingsStore::SettingsStore(const QString &iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat))
{
    // Qt parses a section's lines when it is first asked for one of its keys: listing them all
    // parses the whole file now, so that its faults are known from the start.
    m_settings->allKeys();
    m_readFault = readFaultOf(m_settings->status());
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::get(const QString &key, const QString &defaultValue) const
{
    const QString found = findKey(*m_settings, key);
    if (found.isEmpty()) return defaultValue;
    const QVariant value = m_settings->value(found);
    // Only text is ever written; anything else (a list typed by hand) is not a value of ours.
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray) return defaultValue;
    return value.toString();
}

void SettingsStore::save(const QString &key, const QString &value)
{
    const QString folded = storedKey(key);
    const QStringList keys = m_settings->allKeys();
    for (const QString &other : keys) {
        if (other != folded && other.compare(folded, Qt::CaseInsensitive) == 0) m_settings->remove(other);
    }
    m_settings->setValue(folded, value);
    // Written at once: a crash or a killed process must not lose what the user confirmed.
    m_settings->sync();
}

bool SettingsStore::contains(const QString &key) const
{
    return !findKey(*m_settings, key).isEmpty();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}
