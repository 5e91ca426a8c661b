#include "support/FakeSerialControl.h"

#include <algorithm>

FakeSerialControl::FakeSerialControl(QObject *parent)
    : SerialControl(parent), m_answer(QByteArray::fromHex("ff0030120000"))
{
    for (int port = 1; port <= 16; ++port)
        m_existing.insert(port);
}

void FakeSerialControl::setPermissionDenied(const QSet<int> &ports, const QString &why)
{
    m_denied = ports;
    m_deniedWhy = why;
}

SerialControl::OpenResult FakeSerialControl::open()
{
    m_attempts.append(m_port);
    if (m_open) return OpenResult::Opened;
    if (!m_existing.contains(m_port)) {
        m_lastOpenError = QStringLiteral("COM %1 does not exist.").arg(m_port);
        return OpenResult::NoSuchPort;
    }
    if (m_denied.contains(m_port)) {
        m_lastOpenError = m_deniedWhy;
        return OpenResult::PermissionDenied;
    }
    if (m_inUse.contains(m_port)) {
        m_lastOpenError = QStringLiteral("COM %1 is in use by another program.").arg(m_port);
        return OpenResult::InUse;
    }
    m_open = true;
    m_lastOpenError.clear();
    m_opened.append(m_port);
    if (m_answering.contains(m_port)) m_buffer.append(m_answer);
    return OpenResult::Opened;
}

void FakeSerialControl::close()
{
    if (m_open) ++m_closes;
    m_open = false;
    m_buffer.clear();
}

bool FakeSerialControl::feed(const QByteArray &bytes)
{
    if (!m_open) return false;
    m_buffer.append(bytes);
    m_commEvent = ReceiveEvent;
    if (m_rThreshold > 0 && m_buffer.size() >= m_rThreshold) Q_EMIT onComm();
    return true;
}

void FakeSerialControl::loseDevice(const QString &reason)
{
    if (!m_open) return;
    m_existing.remove(m_port);
    close();
    Q_EMIT portLost(reason);
}

QByteArray FakeSerialControl::input()
{
    const qsizetype count =
        m_inputLen > 0 ? std::min<qsizetype>(m_inputLen, m_buffer.size()) : m_buffer.size();
    const QByteArray bytes = m_buffer.left(count);
    m_buffer.remove(0, count);
    return bytes;
}

void FakeSerialControl::clearInput()
{
    ++m_clears;
    m_buffer.clear();
}

void FakeSerialControl::resetLog()
{
    m_attempts.clear();
    m_opened.clear();
    m_closes = 0;
    m_clears = 0;
}
