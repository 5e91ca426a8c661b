#include "core/settings/SaveFolder.h"

#include <QDir>
#include <QFileInfo>

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace SaveFolder
{

namespace
{

QString lastFolder(const SettingsStore &store)
{
    const SettingsKeys::Name &key = SettingsKeys::saveFolderKey();
    const QString folder = store.get(QLatin1String(key.readName), QString());
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

} // namespace

QString startPath(const SettingsStore &store, const QString &suggestedPath)
{
    const QString folder = lastFolder(store);
    return folder.isEmpty() ? suggestedPath : QDir(folder).filePath(QFileInfo(suggestedPath).fileName());
}

QString startFolder(const SettingsStore &store, const QString &folder)
{
    const QString last = lastFolder(store);
    return last.isEmpty() ? folder : last;
}

void remember(SettingsStore &store, const QString &savedPath)
{
    store.save(QLatin1String(SettingsKeys::saveFolderKey().writeName), QFileInfo(savedPath).absolutePath());
}

} // namespace SaveFolder
