#include "core/common/Files.h"

#include <QFileInfo>

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
