#include "core/publish/PublishSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace PublishSettings
{

PublishOptions load(const SettingsStore &store)
{
    const SettingsKeys::PublishKeyNames &keys = SettingsKeys::publishKeys();
    auto get = [&store](const char *key, const QString &fallback) {
        return store.get(QLatin1String(key), fallback);
    };
    PublishOptions options;
    options.url = get(keys.url, {});
    options.password = get(keys.password, {});
    options.prefix = get(keys.prefix, PublishRules::defaultPrefix(QSysInfo::machineHostName()));
    options.discovery = get(keys.discovery, QStringLiteral("on")) != QLatin1String("off");
    options.qos = get(keys.qos, QStringLiteral("0")) == QLatin1String("1") ? 1 : 0;
    options.caFile = get(keys.caFile, {});
    return options;
}

bool save(SettingsStore &store, const PublishOptions &options, QString *error)
{
    const SettingsKeys::PublishKeyNames &keys = SettingsKeys::publishKeys();
    // Narrowed before the password is written, so it is never readable by others.
    if (!options.password.isEmpty()) {
        QFile file(store.fileName());
        QDir().mkpath(QFileInfo(file).path());
        if (!file.exists() && file.open(QIODevice::WriteOnly)) file.close();
        if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            if (error)
                *error =
                    QStringLiteral("cannot make %1 private: %2").arg(store.fileName(), file.errorString());
            return false;
        }
    }
    store.save(QLatin1String(keys.url), options.url);
    store.save(QLatin1String(keys.password), options.password);
    store.save(QLatin1String(keys.prefix), options.prefix);
    store.save(QLatin1String(keys.discovery),
               options.discovery ? QStringLiteral("on") : QStringLiteral("off"));
    store.save(QLatin1String(keys.qos), QString::number(options.qos));
    store.save(QLatin1String(keys.caFile), options.caFile);
    return true;
}

} // namespace PublishSettings
