#pragma once
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include "core/link/SerialControl.h"

// A serial control fed by hand. It records every open attempt, open and close, and can be
// told which port numbers exist, which answer (their answer bytes wait as soon as they are
// opened) and which refuse access. Like a real port it receives nothing while closed, and
// closing it discards what waits.
class FakeSerialControl final : public SerialControl
{
    Q_OBJECT
public:
    explicit FakeSerialControl(QObject *parent = nullptr);

    // --- the scene (by default ports 1..16 exist, none answers)
    void setAnsweringPorts(const QSet<int> &ports) { m_answering = ports; }
    void setPermissionDenied(const QSet<int> &ports, const QString &why);
    void setInUse(const QSet<int> &ports) { m_inUse = ports; }    // held by another program
    void setAnswer(const QByteArray &bytes) { m_answer = bytes; } // default: one DCV frame

    // Bytes arrive (ignored while closed); raises the receive event when at least
    // RThreshold bytes wait (RThreshold > 0). False when the port is closed.
    bool feed(const QByteArray &bytes);
    // The device of the open port vanishes (an unplugged adapter): the port closes, reports
    // portLost, and cannot be opened until returnDevice().
    void loseDevice(const QString &reason = QStringLiteral("device removed"));
    void returnDevice() { m_existing.insert(m_port); }

    // --- what happened
    const QList<int> &openAttempts() const { return m_attempts; } // every open(), by port number
    const QList<int> &openedPorts() const { return m_opened; }    // the opens that succeeded
    int closeCount() const { return m_closes; }
    int clearCount() const { return m_clears; }
    QString settings() const { return m_settings; }
    void resetLog();

    // --- SerialControl
    void setCommPort(int portNumber) override { m_port = portNumber; }
    int commPort() const override { return m_port; }
    void setSettings(const QString &settings) override { m_settings = settings; }
    void setHandshaking(int) override {}
    void setRThreshold(int bytes) override { m_rThreshold = bytes; }
    int rThreshold() const override { return m_rThreshold; }
    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString lastOpenError() const override { return m_lastOpenError; }
    QString portName() const override { return QStringLiteral("COM %1").arg(m_port); }
    void setInputLen(int bytes) override { m_inputLen = bytes; }
    QByteArray input() override;
    int inBufferCount() override { return int(m_buffer.size()); }
    void clearInput() override;
    int commEvent() const override { return m_commEvent; }

private:
    QSet<int> m_existing;
    QSet<int> m_answering;
    QSet<int> m_denied;
    QSet<int> m_inUse;
    QString m_deniedWhy;
    QByteArray m_answer;
    QByteArray m_buffer;
    QList<int> m_attempts;
    QList<int> m_opened;
    QString m_settings;
    QString m_lastOpenError;
    int m_closes = 0;
    int m_clears = 0;
    int m_port = 1;
    int m_rThreshold = 0;
    int m_inputLen = 0;
    int m_commEvent = 0;
    bool m_open = false;
};
