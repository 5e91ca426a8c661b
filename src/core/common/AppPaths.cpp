#include "core/common/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths
{
namespace
{

struct Overrides {
    QString recordsFolder;
    QString assetFolder;
};

Overrides &overrides()
{
    static Overrides instance;
    return instance;
}

QString programFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

QString recordsFolder()
{
    if (!overrides().recordsFolder.isEmpty()) return overrides().recordsFolder;
    const QString program = programFolder();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString folder =
        recordsFolderFor(program, !program.isEmpty() && QFileInfo(program).isWritable(), data);
    if (folder == data) QDir().mkpath(data);
    return folder;
}

QString recordsFolderFor(const QString &programFolder, bool programFolderWritable,
                         const QString &userDataFolder)
{
    const QString program = QDir::cleanPath(programFolder);
    const bool installed = program == u"/usr" || program.startsWith(QLatin1String("/usr/"));
    return !program.isEmpty() && programFolderWritable && !installed ? programFolder : userDataFolder;
}

void setRecordsFolderOverride(const QString &folder)
{
    overrides().recordsFolder = folder;
}

QString findAsset(const QString &fileName)
{
    const QString program = programFolder();
    const QString installed =
        program.isEmpty() ? QString() : QDir(program).filePath(QStringLiteral(VOLTRIX_DATA_DIR_FROM_PROGRAM));
    const QString folders[] = {overrides().assetFolder, program, installed, QStringLiteral(VOLTRIX_DATA_DIR),
                               QStringLiteral(VOLTRIX_SOURCE_ASSETS)};
    for (const QString &folder : folders) {
        if (folder.isEmpty()) continue;
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    }
    return {};
}

void setAssetFolderOverride(const QString &folder)
{
    overrides().assetFolder = folder;
}

} // namespace AppPaths
