#include "core/link/QtSerialControl.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QMetaEnum>
#include <QPointer>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace
{

// QSerialPort takes bare names ("ttyUSB0") as relative to /dev.
QString systemLocation(const QString &device)
{
#ifdef Q_OS_UNIX
    if (!device.startsWith(QLatin1Char('/'))) return QStringLiteral("/dev/") + device;
#endif
    return device;
}

QString errorName(QSerialPort::SerialPortError error)
{
    return QString::fromLatin1(QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error));
}

} // namespace

QtSerialControl::QtSerialControl(const PortDirectory &directory, QObject *parent)
    : SerialControl(parent), m_directory(directory), m_port(new QSerialPort(this))
{
    m_port->setReadBufferSize(BufferLimit);
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialControl::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialControl::onError);
}

QtSerialControl::~QtSerialControl()
{
    // Quietly: a close at shut-down is no lost port.
    m_port->disconnect(this);
    m_port->close();
}

bool QtSerialControl::parseSettings(const QString &text, LineSettings *settings)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return false;
    LineSettings parsed;
    bool ok = false;
    parsed.baudRate = parts.at(0).trimmed().toInt(&ok);
    if (!ok || parsed.baudRate <= 0) return false;

    const QString parity = parts.at(1).trimmed().toLower();
    if (parity == u"n")
        parsed.parity = QSerialPort::NoParity;
    else if (parity == u"e")
        parsed.parity = QSerialPort::EvenParity;
    else if (parity == u"o")
        parsed.parity = QSerialPort::OddParity;
    else if (parity == u"m")
        parsed.parity = QSerialPort::MarkParity;
    else if (parity == u"s")
        parsed.parity = QSerialPort::SpaceParity;
    else
        return false;

    const int dataBits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) return false;
    parsed.dataBits = QSerialPort::DataBits(dataBits);

    const QString stop = parts.at(3).trimmed();
    if (stop == u"1")
        parsed.stopBits = QSerialPort::OneStop;
    else if (stop == u"1.5")
        parsed.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == u"2")
        parsed.stopBits = QSerialPort::TwoStop;
    else
        return false;

    if (settings) *settings = parsed;
    return true;
}

void QtSerialControl::setSettings(const QString &settings)
{
    if (!parseSettings(settings, &m_line)) return;
    if (m_port->isOpen()) applyLineSettings();
}

void QtSerialControl::setHandshaking(int mode)
{
    m_handshaking = mode;
    if (m_port->isOpen()) applyLineSettings();
}

void QtSerialControl::applyLineSettings()
{
    m_port->setBaudRate(m_line.baudRate);
    m_port->setParity(m_line.parity);
    m_port->setDataBits(m_line.dataBits);
    m_port->setStopBits(m_line.stopBits);
    switch (m_handshaking) {
    case 1:
        m_port->setFlowControl(QSerialPort::SoftwareControl);
        break;
    case 2:
    case 3:
        m_port->setFlowControl(QSerialPort::HardwareControl);
        break;
    default:
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        break;
    }
}

QString QtSerialControl::permissionMessage(const QString &device, const QString &group)
{
#if defined(Q_OS_LINUX)
    // Distributions differ ("dialout", "uucp"); the device's own group is the one to join.
    const QString join = group.isEmpty() || group == u"root" ? QStringLiteral("dialout") : group;
    return QCoreApplication::translate("QtSerialControl",
                                       "Permission denied on %1. Add your user to the %2 group "
                                       "(sudo usermod -aG %2 $USER) and log in again.")
        .arg(device, join);
#else
    Q_UNUSED(group)
    return QCoreApplication::translate(
               "QtSerialControl", "Permission denied on %1. Ask your administrator for access to this port.")
        .arg(device);
#endif
}

SerialControl::OpenResult QtSerialControl::failOpen(OpenResult result, const QString &why)
{
    m_lastOpenError = why;
    return result;
}

SerialControl::OpenResult QtSerialControl::open()
{
    if (m_port->isOpen()) return OpenResult::Opened;
    const QString device = deviceName();
    const QString comName = QStringLiteral("COM %1").arg(m_commPort);
    if (device.isEmpty())
        return failOpen(OpenResult::NoSuchPort,
                        QCoreApplication::translate("QtSerialControl", "%1 does not exist.").arg(comName));
#ifdef Q_OS_UNIX
    if (!QFileInfo::exists(systemLocation(device)))
        return failOpen(
            OpenResult::NoSuchPort,
            QCoreApplication::translate("QtSerialControl", "%1 (%2) does not exist.").arg(comName, device));
#endif

    m_port->setPortName(device);
    applyLineSettings();
    m_buffer.clear();
    m_commEvent = 0;
    if (!m_port->open(QIODevice::ReadWrite)) return classifyOpenError(device);
    // Drivers and adapters keep what arrived while the port was closed. Those readings are
    // stale (a pause, the time before Start): they go before any receive event can decode them.
    m_port->clear(QSerialPort::Input);
    m_port->readAll();
    m_lastOpenError.clear();
    m_openDevice = device;
    m_lostReported = false;
    return OpenResult::Opened;
}

SerialControl::OpenResult QtSerialControl::classifyOpenError(const QString &device)
{
    const QString comName = portName();
    const QSerialPort::SerialPortError error = m_port->error();
    const QString detail = m_port->errorString();
    m_port->clearError();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return failOpen(OpenResult::NoSuchPort,
                        QCoreApplication::translate("QtSerialControl", "%1 does not exist.").arg(comName));
    case QSerialPort::PermissionError: {
#ifdef Q_OS_UNIX
        // QSerialPort says "permission" both for access rights and for a port another
        // program holds (its lock file); only the first is the user's to fix.
        const QString path = systemLocation(device);
        if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return failOpen(OpenResult::PermissionDenied, permissionMessage(path, QFileInfo(path).group()));
#endif
        return failOpen(
            OpenResult::InUse,
            QCoreApplication::translate("QtSerialControl", "%1 is in use by another program.").arg(comName));
    }
    default:
        return failOpen(OpenResult::Failed,
                        QCoreApplication::translate("QtSerialControl", "%1 could not be opened: %2 (%3).")
                            .arg(comName, detail, errorName(error)));
    }
}

void QtSerialControl::close()
{
    if (m_port->isOpen()) m_port->close();
    m_buffer.clear();
}

QString QtSerialControl::portName() const
{
    const QString device = deviceName();
    const QString name = QStringLiteral("COM %1").arg(m_commPort);
    return device.isEmpty() ? name : name + QStringLiteral(" (") + device + QLatin1Char(')');
}

bool QtSerialControl::isOpen() const
{
    return m_port->isOpen();
}

int QtSerialControl::pull()
{
    if (!m_port->isOpen()) return 0;
    const qint64 room = BufferLimit - m_buffer.size();
    const qint64 waiting = m_port->bytesAvailable();
    if (room <= 0 || waiting <= 0) return 0;
    const QByteArray bytes = m_port->read(std::min(room, waiting));
    m_buffer.append(bytes);
    m_received += bytes.size();
    return int(bytes.size());
}

QByteArray QtSerialControl::input()
{
    pull();
    const qsizetype count =
        m_inputLen > 0 ? std::min<qsizetype>(m_inputLen, m_buffer.size()) : m_buffer.size();
    const QByteArray bytes = m_buffer.left(count);
    m_buffer.remove(0, count);
    return bytes;
}

int QtSerialControl::inBufferCount()
{
    pull();
    return int(m_buffer.size());
}

void QtSerialControl::clearInput()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Input);
        m_port->readAll();
    }
    m_buffer.clear();
}

void QtSerialControl::onReadyRead()
{
    if (pull() > 0) raiseReceiveEvent();
}

void QtSerialControl::raiseReceiveEvent()
{
    m_commEvent = ReceiveEvent;
    if (m_inOnComm || m_rThreshold <= 0 || m_buffer.size() < m_rThreshold) return;
    // The handler may pump events. Data arriving meanwhile raises no nested event (QSerialPort
    // does not even signal it while its readyRead is being handled): it is announced once the
    // handler returns.
    const QPointer<QtSerialControl> alive(this);
    m_inOnComm = true;
    qint64 before = 0;
    do {
        before = m_received;
        Q_EMIT onComm();
        if (!alive) return;
        pull();
    } while (m_received != before && m_port->isOpen() && m_rThreshold > 0 && m_buffer.size() >= m_rThreshold);
    m_inOnComm = false;
}

void QtSerialControl::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (!m_port->isOpen()) return;
    // Qt keeps reporting a vanished device until the port is closed, hundreds of thousands
    // of times a second: close now, tell once.
    QString reason = m_port->errorString();
    // A device that vanishes mid-read leaves Qt with no system error to quote.
    if (reason.isEmpty() || reason.startsWith(QLatin1String("Unknown error"), Qt::CaseInsensitive) ||
        reason == QLatin1String("Success"))
        reason = QStringLiteral("the device went away (unplugged or switched off)");
    close();
    if (m_lostReported) return;
    m_lostReported = true;
    Q_EMIT portLost(reason);
}
