#include "support/PtyReceiver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <unistd.h>

PtyReceiver::PtyReceiver() : m_simulator(std::make_unique<ReceiverSimulator>(m_pty)) {}

SimulatorOptions PtyReceiver::fast()
{
    SimulatorOptions options;
    options.timeFactor = 100;
    return options;
}

void PtyReceiver::start(const QList<SimulatedMeter> &meters, const SimulatorOptions &options)
{
    m_simulator->setMeters(meters);
    m_simulator->setOptions(options);
    m_simulator->start();
}

ReplugReceiver::ReplugReceiver() : m_link(m_dir.filePath(QStringLiteral("receiver"))) {}

bool ReplugReceiver::plugIn(QString *error)
{
    auto receiver = std::make_unique<PtyReceiver>();
    if (!receiver->isValid()) {
        if (error) *error = receiver->pty().errorString();
        return false;
    }
    QFile::remove(m_link);
    if (!QFile::link(receiver->devicePath(), m_link)) {
        if (error) *error = QStringLiteral("cannot link %1 to %2").arg(m_link, receiver->devicePath());
        return false;
    }
    m_receiver = std::move(receiver);
    return true;
}

void ReplugReceiver::unplug()
{
    if (!m_receiver) return;
    m_receiver->stop();
    m_receiver->pty().closeMaster();
    QFile::remove(m_link);
}

QList<SimulatedMeter> countingMeters(int count)
{
    static constexpr int functions[] = {0, 1, 2, 3, 4, 6}; // DCV ACV DCA ACA OHM Hz
    QList<SimulatedMeter> meters;
    for (int k = 0; k < count; ++k) {
        SimulatedMeter meter;
        meter.channel = k;
        meter.functionCode = functions[k % 6];
        meter.pattern = SimulatedMeter::Pattern::Ramp;
        meter.intervalMs = 1000;
        meter.periodS = CountingSteps;
        meter.minimum = 0;
        meter.maximum = CountingSteps;
        meters << meter;
    }
    return meters;
}

SimulatorOptions floodOptions(int frames, int rate)
{
    SimulatorOptions options;
    options.flood = true;
    options.floodRate = rate;
    options.statusEveryMs = 0;
    options.frameLimit = frames;
    return options;
}

ExternalReceiver::~ExternalReceiver()
{
    stop();
}

bool ExternalReceiver::start(const QStringList &arguments, int timeoutMs)
{
    const QString tool = program();
    if (tool.isEmpty()) {
        m_error = QStringLiteral("VOLTRIX_SIM is not set");
        return false;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(tool, arguments + QStringList{QStringLiteral("--quiet")});
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            if (m_process.canReadLine()) break;
            m_error = QStringLiteral("%1 printed no device: %2").arg(tool, m_process.errorString());
            stop();
            return false;
        }
    }
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_device.isEmpty();
}

int ExternalReceiver::waitForExit(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs)) return -1;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void ExternalReceiver::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QProcessEnvironment isolatedEnvironment(const QDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    return env;
}

QString isolatedProgram(const QDir &folder)
{
    const QString app = qEnvironmentVariable("VOLTRIX_APP"),
                  program = folder.filePath(QStringLiteral("voltrix"));
    // A hard link, not a symbolic one: the program finds its folder through what it runs from.
    const bool placed =
        !app.isEmpty() &&
        (::link(QFile::encodeName(app).constData(), QFile::encodeName(program).constData()) == 0 ||
         (QFile::copy(app, program) && QFile::setPermissions(program, QFile::permissions(app))));
    return placed ? program : QString();
}
