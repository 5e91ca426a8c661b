#include "core/workbook/MemoryFile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

MemoryFile::MemoryFile()
{
#ifdef Q_OS_LINUX
    m_handle = ::memfd_create("voltrix-workbook", MFD_CLOEXEC);
    // Opened again by its path, which needs /proc.
    if (m_handle >= 0 && !QFileInfo::exists(path())) {
        ::close(m_handle);
        m_handle = -1;
    }
#endif
}

MemoryFile::~MemoryFile()
{
#ifdef Q_OS_LINUX
    if (m_handle >= 0) ::close(m_handle);
#endif
}

QString MemoryFile::path() const
{
    return QStringLiteral("/proc/self/fd/%1").arg(m_handle);
}

bool MemoryFile::copyTo(const QString &target, QString *error) const
{
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error) *error = out.errorString();
        return false;
    }
#ifdef Q_OS_LINUX
    QByteArray chunk(256 * 1024, Qt::Uninitialized);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(m_handle, chunk.data(), size_t(chunk.size()), offset);
        if (got < 0) {
            if (error) *error = qt_error_string(errno);
            return false;
        }
        if (got == 0) break;
        if (out.write(chunk.constData(), got) != got) {
            if (error) *error = out.errorString();
            return false;
        }
        offset += got;
    }
#endif
    return true;
}
