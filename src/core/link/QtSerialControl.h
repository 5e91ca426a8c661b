#pragma once
#include <QSerialPort>

#include "core/link/PortDirectory.h"
#include "core/link/SerialControl.h"

// The serial control on QSerialPort. Received bytes are moved into a buffer of its own as
// they arrive, so counting, reading and the receive event see one consistent queue.
class QtSerialControl final : public SerialControl
{
    Q_OBJECT
public:
    // Never dropped silently: once this much waits unread, reading from the port pauses and
    // the rest stays with the driver until the program catches up.
    static constexpr int BufferLimit = 64 * 1024;

    struct LineSettings {
        qint32 baudRate = 9600;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };

    explicit QtSerialControl(const PortDirectory &directory = PortDirectory(), QObject *parent = nullptr);
    ~QtSerialControl() override;

    void setCommPort(int portNumber) override { m_commPort = portNumber; }
    int commPort() const override { return m_commPort; }
    // An invalid settings string leaves the previous settings in force.
    void setSettings(const QString &settings) override;
    void setHandshaking(int mode) override; // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both (as RTS/CTS)
    // QSerialPort hands over bytes as they are, into a buffer that grows as it must.
    void setRThreshold(int bytes) override { m_rThreshold = bytes; }
    int rThreshold() const override { return m_rThreshold; }

    OpenResult open() override;
    void close() override;
    bool isOpen() const override;
    QString lastOpenError() const override { return m_lastOpenError; }
    QString portName() const override;

    void setInputLen(int bytes) override { m_inputLen = bytes; }
    QByteArray input() override;
    int inBufferCount() override;
    void clearInput() override;
    int commEvent() const override { return m_commEvent; }

    // "9600,n,8,1": baud, parity n/e/o/m/s, data bits 5..8, stop bits 1, 1.5 or 2.
    static bool parseSettings(const QString &text, LineSettings *settings);
    LineSettings lineSettings() const { return m_line; }
    int handshaking() const { return m_handshaking; }
    int inputLen() const { return m_inputLen; }

    const PortDirectory &directory() const { return m_directory; }
    // The device of the current port number; empty when it maps to none.
    QString deviceName() const { return m_directory.deviceFor(m_commPort); }

    // What the user is told when `device` exists but may not be opened; `group` is the
    // device's owning group (the one to join), empty when unknown.
    static QString permissionMessage(const QString &device, const QString &group);

private:
    void applyLineSettings();
    OpenResult failOpen(OpenResult result, const QString &why);
    OpenResult classifyOpenError(const QString &device);
    int pull();
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void raiseReceiveEvent();

    PortDirectory m_directory;
    QSerialPort *m_port; // child
    QByteArray m_buffer;
    LineSettings m_line;
    QString m_lastOpenError;
    QString m_openDevice;
    int m_commPort = 1;
    int m_handshaking = 0;
    int m_rThreshold = 0;
    int m_inputLen = 0;
    int m_commEvent = 0;
    bool m_lostReported = false;
    qint64 m_received = 0; // bytes taken from the port since construction
    bool m_inOnComm = false;
};
