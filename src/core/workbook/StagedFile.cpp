#include "core/workbook/StagedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace
{

// How far TakeNextName counts before it gives up.
constexpr int MaxNumberedNames = 10000;

// An exclusive lock on `path` without waiting; the handle, or -1 when it is held elsewhere.
int lockFile(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path)
    return -1;
#else
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) return -1;
    if (::flock(handle, LOCK_EX | LOCK_NB) == 0) return handle;
    ::close(handle);
    return -1;
#endif
}

// Forces a file (or a folder's entries) to disk; false with the system's reason.
bool syncFile(const QString &path, QString *error)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path)
    Q_UNUSED(error)
    return true;
#else
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0 || ::fsync(handle) != 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        if (handle >= 0) ::close(handle);
        return false;
    }
    ::close(handle);
    return true;
#endif
}

// Gives `from` the name `to` unless a file has it already (errno EEXIST then). Where the file system
// cannot rename that way, a hard link does the same: made only when the name is free.
bool renameWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef Q_OS_WIN
    Q_UNUSED(source)
    Q_UNUSED(target)
    if (QFileInfo::exists(to)) {
        errno = EEXIST;
        return false;
    }
    return QFile::rename(from, to);
#else
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    if (::link(source.constData(), target.constData()) != 0) return false;
    ::unlink(source.constData());
    return true;
#endif
}

void unlockFile(int handle)
{
#ifndef Q_OS_WIN
    if (handle >= 0) ::close(handle);
#endif
}

} // namespace

StagedFile::StagedFile(const QString &targetPath, Existing existing)
    : m_targetPath(targetPath), m_existing(existing)
{
}

StagedFile::~StagedFile()
{
    if (!m_committed && !m_temporaryPath.isEmpty()) QFile::remove(m_temporaryPath);
    unlockFile(m_lockHandle);
}

void StagedFile::removeAbandoned(const QString &folder)
{
#ifndef Q_OS_WIN
    static const QRegularExpression staged(QStringLiteral("^\\..+\\.xlsx\\.[0-9a-z]+\\.tmp$"));
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden)) {
        if (!staged.match(name).hasMatch()) continue;
        const QString path = dir.filePath(name);
        const int handle = lockFile(path);
        if (handle < 0) continue; // a running program writes it
        QFile::remove(path);
        unlockFile(handle);
    }
#else
    Q_UNUSED(folder)
#endif
}

bool StagedFile::create(QString *error)
{
    const QFileInfo target(m_targetPath);
    // A hidden name beside the target, so the rename stays within one file system.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString candidate =
            target.absolutePath() + QStringLiteral("/.") + target.fileName().left(64) + QLatin1Char('.') +
            QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp");
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_temporaryPath = candidate;
            m_lockHandle = lockFile(candidate);
            return true;
        }
        if (file.exists()) continue; // taken by someone else: draw another name
        if (error) *error = file.errorString();
        return false;
    }
    if (error) *error = QStringLiteral("no free temporary file name");
    return false;
}

QString StagedFile::numberedPath(const QString &path, int n)
{
    if (n <= 1) return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.chopped(suffix.size() + 1);
    return stem + QLatin1Char('_') + QString::number(n) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

bool StagedFile::commit(QString *error)
{
    if (m_temporaryPath.isEmpty()) return false;
    if (m_existing == Existing::Replace && QFileInfo::exists(m_targetPath))
        QFile::setPermissions(m_temporaryPath, QFile::permissions(m_targetPath));
    // On disk before it takes the target's name: what replaces a file, or lets a journal go, is whole.
    if (!syncFile(m_temporaryPath, error)) return false;
    const bool named = m_existing == Existing::Replace ? replaceTarget(error) : takeFreeName(error);
    if (!named) return false;
    m_committed = true;
    QString ignored; // the rename itself is in the folder's entry, synced where the system allows
    syncFile(QFileInfo(m_targetPath).absolutePath(), &ignored);
    return true;
}

bool StagedFile::replaceTarget(QString *error)
{
    // rename() replaces an existing target in one step; QFile::rename() would refuse it.
    if (std::rename(QFile::encodeName(m_temporaryPath).constData(),
                    QFile::encodeName(m_targetPath).constData()) == 0)
        return true;
    if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool StagedFile::takeFreeName(QString *error)
{
    const QString wanted = m_targetPath;
    for (int n = 1; n < MaxNumberedNames; ++n) {
        const QString candidate = numberedPath(wanted, n);
        errno = 0;
        if (renameWithoutReplacing(m_temporaryPath, candidate)) {
            m_targetPath = candidate;
            return true;
        }
        if (errno != EEXIST) {
            if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
    if (error) *error = QString::fromLocal8Bit(std::strerror(EEXIST));
    return false;
}
