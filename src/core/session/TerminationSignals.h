#pragma once
#include <QObject>
#include <memory>

class QSocketNotifier;

// SIGTERM and SIGHUP (log-out, shut-down, `kill`) handed to the event loop as a Qt signal, so that
// the program closes as closing its window does instead of dying with the journal unsynced. The
// handler only writes a byte into a pipe, which is all that is safe inside a signal handler. One
// instance at a time; the default handling returns when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> m_notifier;
};
