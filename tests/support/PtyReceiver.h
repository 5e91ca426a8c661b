#pragma once
#include <QDir>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"

// A simulated receiver on a pseudo-terminal inside the test process: open devicePath()
// with a QtSerialControl (through a PortDirectory list) and the simulator's frames arrive.
class PtyReceiver
{
public:
    PtyReceiver();
    bool isValid() const { return m_pty.isValid(); }
    QString devicePath() const { return m_pty.slavePath(); }
    Pty &pty() { return m_pty; }

    // Starts sending; by default one DCV meter, 2 s frames at 100 times real time.
    void start(const QList<SimulatedMeter> &meters = {SimulatedMeter{}},
               const SimulatorOptions &options = fast());
    void stop() { m_simulator->stop(); }
    static SimulatorOptions fast();

private:
    Pty m_pty;
    std::unique_ptr<ReceiverSimulator> m_simulator;
};

// A receiver behind a device path that stays the same while the device comes and goes, as an
// adapter unplugged and plugged in again: the path is a symbolic link in a temporary folder,
// and each plug-in points it at a fresh pseudo-terminal.
class ReplugReceiver
{
public:
    ReplugReceiver();
    // The link's path; it names no device until the first plugIn().
    QString devicePath() const { return m_link; }
    // A fresh pseudo-terminal behind the path; false with a reason when none could be made.
    bool plugIn(QString *error = nullptr);
    // The simulator stops and the pseudo-terminal's master closes: whoever has the device open
    // sees it vanish, and the path names nothing.
    void unplug();
    // The receiver plugged in now; valid only after a successful plugIn().
    PtyReceiver &receiver() { return *m_receiver; }

private:
    QTemporaryDir m_dir;
    QString m_link;
    std::unique_ptr<PtyReceiver> m_receiver;
};

// Meters on channels 0..count-1 whose n-th reading is (n - 1) modulo CountingSteps, so that
// every reading can be told from its neighbours and found in order; their functions differ.
constexpr int CountingSteps = 10000;
QList<SimulatedMeter> countingMeters(int count);
// Meters that flood: in turn, as fast as the reader takes them (at most `rate` frames a second
// when above 0), none dropped, no status frames between them, `frames` in all.
SimulatorOptions floodOptions(int frames, int rate = 0);

// voltrix-sim ($VOLTRIX_SIM) as its own process, serving a pseudo-terminal (or the --device
// given in the arguments). Ends the process on destruction.
class ExternalReceiver
{
public:
    ExternalReceiver() = default;
    ~ExternalReceiver();
    ExternalReceiver(const ExternalReceiver &) = delete;
    ExternalReceiver &operator=(const ExternalReceiver &) = delete;

    // Starts the tool with `arguments` (--quiet is added) and reads the device path from its
    // first line; false with errorString() when it does not come within `timeoutMs`.
    bool start(const QStringList &arguments, int timeoutMs = 5000);
    // Waits for the tool to exit by itself (e.g. after --count); its exit code, -1 on timeout.
    int waitForExit(int timeoutMs = 5000);
    void stop();

    static QString program() { return qEnvironmentVariable("VOLTRIX_SIM"); }
    QString devicePath() const { return m_device; }
    QString errorString() const { return m_error; }

private:
    QProcess m_process;
    QString m_device;
    QString m_error;
};

// The environment for running the program itself with its settings and records kept in `home`.
QProcessEnvironment isolatedEnvironment(const QDir &home);
// $VOLTRIX_APP linked (else copied) into `folder`, which is then its records folder alone: runs
// side by side must not recover each other's journals. Empty when it cannot be placed there.
QString isolatedProgram(const QDir &folder);
