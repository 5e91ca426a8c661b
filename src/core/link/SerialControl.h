#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

// The serial control the program drives: exactly the operations the link, the decoder and
// the recording control rely on. QtSerialControl implements it on QSerialPort; ports are
// numbered 1..16 and mapped to devices by PortDirectory.
class SerialControl : public QObject
{
    Q_OBJECT
public:
    enum class OpenResult { Opened, NoSuchPort, PermissionDenied, InUse, Failed };
    static constexpr int ReceiveEvent = 2;

    using QObject::QObject;

    virtual void setCommPort(int portNumber) = 0;
    virtual int commPort() const = 0;
    virtual void setSettings(const QString &settings) = 0; // "9600,n,8,1"
    virtual void setHandshaking(int mode) = 0;             // 0 = none
    virtual void setRThreshold(int bytes) = 0;             // 0 = no receive events
    virtual int rThreshold() const = 0;

    virtual OpenResult open() = 0; // PortOpen = True
    virtual void close() = 0;      // PortOpen = False
    virtual bool isOpen() const = 0;
    // Why the last open failed, for the user (e.g. the group that grants access).
    virtual QString lastOpenError() const = 0;
    // The port as the user knows it, with its device where it has one: "COM 1 (/dev/ttyUSB0)".
    virtual QString portName() const = 0;

    virtual void setInputLen(int bytes) = 0; // 0 = all waiting
    virtual QByteArray input() = 0;          // removes up to InputLen bytes
    virtual int inBufferCount() = 0;
    virtual void clearInput() = 0; // InBufferCount = 0
    virtual int commEvent() const = 0;

Q_SIGNALS:
    // Raised with CommEvent 2 when at least RThreshold bytes wait (RThreshold > 0).
    void onComm();
    // The device went away while open (unplugged adapter); the port is already closed.
    // `reason` is the system's own word for it.
    void portLost(const QString &reason);
};
