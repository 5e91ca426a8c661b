#include "core/session/TerminationSignals.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace
{

#ifndef Q_OS_WIN
int pipeEnds[2] = {-1, -1};
constexpr int Handled[] = {SIGTERM, SIGHUP};

extern "C" void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}
#endif

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
#ifndef Q_OS_WIN
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::drain);
    struct sigaction action = {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : Handled)
        ::sigaction(signalNumber, &action, nullptr);
#endif
}

TerminationSignals::~TerminationSignals()
{
#ifndef Q_OS_WIN
    if (!m_notifier) return;
    for (const int signalNumber : Handled)
        ::signal(signalNumber, SIG_DFL);
    m_notifier.reset();
    for (int &end : pipeEnds) {
        ::close(end);
        end = -1;
    }
#endif
}

void TerminationSignals::drain()
{
#ifndef Q_OS_WIN
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        Q_EMIT received(byte);
#endif
}
