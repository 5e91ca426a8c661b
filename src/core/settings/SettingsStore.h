#pragma once
#include <QString>
#include <memory>

class QSettings;

// The per-user key/value store (application "regtest", section "VK47"). Values are text;
// key names compare without regard to letter case, so "setup_seleport" written is
// "setup_selePort" read.
class SettingsStore
{
public:
    // The user's own store in the platform's per-user configuration folder.
    SettingsStore();
    // A store kept in `iniFilePath` (tests point it at a temporary folder).
    explicit SettingsStore(const QString &iniFilePath);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // What reading the file found when the store opened it. The settings that could not be read
    // take their defaults; a damaged file is written anew, without its unreadable lines, at the
    // next save, and an unreadable one is left as it is.
    enum class ReadFault { None, Unreadable, Damaged };
    ReadFault readFault() const { return m_readFault; }

    QString get(const QString &key, const QString &defaultValue) const; // GetSetting
    void save(const QString &key, const QString &value);                // SaveSetting
    bool contains(const QString &key) const;
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
    ReadFault m_readFault = ReadFault::None;
};
