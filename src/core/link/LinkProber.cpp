#include "core/link/LinkProber.h"

#include <utility>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/Clock.h"
#include "core/common/Prompts.h"
#include "core/settings/Settings.h"

namespace
{

// Clears a flag when the scope ends, however it ends.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};

} // namespace

LinkProber::LinkProber(Collaborators collaborators, QObject *parent)
    : QObject(parent), m_(std::move(collaborators))
{
}

void LinkProber::prepareControl()
{
    SerialControl &serial = m_.serial;
    serial.setSettings(lineSettings());
    serial.setHandshaking(0);
    serial.setRThreshold(0);
}

void LinkProber::linkOn()
{
    // The probe pumps events: a second Connect or Start meanwhile must not start a nested
    // probe on the port this one holds open.
    if (m_.state.link.up || m_probing || m_abandoned) return;
    if (m_.settings.autoScan) {
        scan();
        return;
    }
    FlagGuard probing(m_probing);
    beginAttempt();
    SerialControl &serial = m_.serial;
    // The port buttons always show the configured port selected, whether or not "Select port" is ticked.
    serial.setCommPort(m_.state.link.selectedPort + 1);
    prepareControl();
    for (int attempt = 0; attempt < TriesOnPort && !m_abandoned; ++attempt) {
        if (probeCurrentPort() == Probe::Answered) return;
    }
    serial.close();
    // The message names the port, so that a wrong one in the Setup is seen at once.
    if (!m_abandoned) showLinkError(serial.portName());
}

void LinkProber::scan()
{
    if (m_.state.link.up || m_probing || m_abandoned) return;
    FlagGuard probing(m_probing);
    beginAttempt();
    SerialControl &serial = m_.serial;
    prepareControl();
    m_labelLeft = LabelStartTwips;
    Q_EMIT scanShown();
    for (int pass = 0; pass < ScanPasses; ++pass) {
        for (int port = 1; port <= ScanPorts; ++port) {
            if (scanAbandoned()) {
                Q_EMIT scanClosed();
                return;
            }
            if (m_labelLeft > LabelWrapTwips) moveLabel(LabelRestartTwips);
            serial.setCommPort(port);
            switch (probeCurrentPort()) {
            case Probe::Missing:
                continue;
            case Probe::Answered:
                Q_EMIT scanClosed();
                return;
            case Probe::Silent:
                moveLabel(m_labelLeft + LabelStepTwips);
                break;
            }
        }
    }
    serial.close();
    showLinkError(QString());
    Q_EMIT scanClosed();
}

void LinkProber::beginAttempt()
{
    m_permissionTold = false;
    m_stopGiven = false;
    m_portsInUse.clear();
}

LinkProber::Probe LinkProber::probeCurrentPort()
{
    SerialControl &serial = m_.serial;
    const SerialControl::OpenResult opened = serial.open();
    if (opened == SerialControl::OpenResult::NoSuchPort) return Probe::Missing;
    if (opened != SerialControl::OpenResult::Opened) {
        // Nothing can arrive on a port that did not open: no point waiting on it.
        if (opened == SerialControl::OpenResult::PermissionDenied) tellWhyNotOpened();
        if (opened == SerialControl::OpenResult::InUse && !m_portsInUse.contains(serial.portName()))
            m_portsInUse << serial.portName();
        return Probe::Silent;
    }
    serial.setInputLen(0);
    m_.clock.sleepMs(ProbeSleepMs);
    if (waitForAnswer()) {
        m_.state.link.up = true;
        serial.close();
        serial.setRThreshold(ReceiveThreshold);
        return Probe::Answered;
    }
    serial.close();
    return Probe::Silent;
}

bool LinkProber::waitForAnswer()
{
    Clock &clock = m_.clock;
    SerialControl &serial = m_.serial;
    qint64 start = clock.tickMs();
    for (;;) {
        clock.processEvents();
        if (serial.inBufferCount() >= AnswerBytes) return true;
        const qint64 now = clock.tickMs();
        if (now < start) // the counter went backwards: measure from here
            start = now;
        if (now - start > ProbeWaitMs || m_abandoned) return false;
        clock.sleepMs(1); // without this the wait spins one core at 100%
    }
}

void LinkProber::tellWhyNotOpened()
{
    if (m_permissionTold) return;
    m_permissionTold = true;
    m_.prompts.message(m_.serial.lastOpenError(), applicationTitle(), Prompts::Buttons::Ok,
                       Prompts::Icon::Critical);
}

QString LinkProber::portsInUseText(const QStringList &ports)
{
    if (ports.isEmpty()) return {};
    if (ports.size() == 1)
        return QStringLiteral("%1 is in use by another program. Close that program, then try again.")
            .arg(ports.first());
    return QStringLiteral("%1 are in use by other programs. Close those programs, then try again.")
        .arg(ports.join(QStringLiteral(", ")));
}

void LinkProber::showLinkError(const QString &port)
{
    QStringList lines{linkErrorText()};
    if (!port.isEmpty()) lines << port;
    if (!m_portsInUse.isEmpty()) lines << portsInUseText(m_portsInUse);
    m_.prompts.message(lines.join(QLatin1Char('\n')), applicationTitle(), Prompts::Buttons::Ok,
                       Prompts::Icon::None);
}

bool LinkProber::scanAbandoned() const
{
    return m_abandoned || m_stopGiven;
}

void LinkProber::moveLabel(int left)
{
    m_labelLeft = left;
    Q_EMIT progressMoved(left);
}
