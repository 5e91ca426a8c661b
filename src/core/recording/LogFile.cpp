#include "core/recording/LogFile.h"

#include <QDir>

#include "core/common/AppPaths.h"

namespace
{
// The name the delete step always used; on case-sensitive file systems it is a file of its
// own, left behind by older versions, and goes too.
constexpr const char *LegacyFileName = "Data.log";
} // namespace

QString LogFile::path()
{
    return QDir(AppPaths::recordsFolder()).filePath(QLatin1String(FileName));
}

void LogFile::deleteLogFile()
{
    const QDir folder(AppPaths::recordsFolder());
    // An open handle would keep writing to the unlinked file.
    close();
    QFile::remove(folder.filePath(QLatin1String(FileName)));
    QFile::remove(folder.filePath(QLatin1String(LegacyFileName)));
}

bool LogFile::open()
{
    close();
    const QString folder = AppPaths::recordsFolder();
    QDir().mkpath(folder);
    m_file.setFileName(QDir(folder).filePath(QLatin1String(FileName)));
    return m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void LogFile::close()
{
    m_file.close();
}
