#include "core/simulator/Pty.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace
{

QString systemError(const char *what)
{
    return QString::fromLatin1(what) + u": " + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

Pty::Pty()
{
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error = systemError("openpty");
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
}

Pty::~Pty()
{
    closeMaster();
    if (m_slave >= 0) ::close(m_slave);
}

bool Pty::write(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && m_master >= 0) {
        const ssize_t written = ::write(m_master, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            // A full buffer that nobody drains within a second is a stuck reader, not a
            // reason to hang the caller.
            pollfd pfd{m_master, POLLOUT, 0};
            if ((errno == EAGAIN || errno == EWOULDBLOCK) && ::poll(&pfd, 1, 1000) > 0) continue;
            m_error = systemError("write");
            return false;
        }
        data += written;
        left -= written;
    }
    return left == 0;
}

QByteArray Pty::read(int timeoutMs)
{
    QByteArray result;
    if (m_master < 0) return result;
    pollfd pfd{m_master, POLLIN, 0};
    int wait = timeoutMs;
    while (::poll(&pfd, 1, wait) > 0 && (pfd.revents & POLLIN)) {
        char buffer[4096];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0) break;
        result.append(buffer, got);
        wait = 0;
    }
    return result;
}

void Pty::closeMaster()
{
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}
