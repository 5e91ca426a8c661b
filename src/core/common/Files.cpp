#include "core/common/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

bool fileExists(const QString &path)
{
    // A folder of that name is not the file asked for (the classic directory lookup did not
    // list folders either): taking it for a saved record would skip the save question.
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

QString fileNameOfPath(const QString &path)
{
    const qsizetype separator = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(separator + 1);
}

QString firstFreeName(const std::function<QString(int n)> &nameFor,
                      const std::function<bool(const QString &name)> &taken)
{
    for (int n = 1;; ++n) {
        QString name = nameFor(n);
        if (!taken(name)) return name;
    }
}

bool makeFolder(const QString &folder, QString *reason)
{
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder)) return true;
    // mkpath() does not say why: the first missing folder, made once more, does.
    QString missing = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    for (QString parent = QFileInfo(missing).absolutePath(); parent != missing && !QFileInfo::exists(parent);
         parent = QFileInfo(missing).absolutePath())
        missing = parent;
    errno = 0;
#ifndef Q_OS_WIN
    const bool made = ::mkdir(QFile::encodeName(missing).constData(), 0777) == 0;
#else
    const bool made = QDir().mkdir(missing);
#endif
    if (reason) *reason = errno != 0 ? qt_error_string(errno) : QStringLiteral("the folder cannot be made");
    return made && QDir().mkpath(folder);
}
