#pragma once
#include <QString>
#include <QStringList>

// Maps the port numbers 1..16 the program works with to serial devices. On Windows port n is
// the system's COMn. Elsewhere it is the n-th entry of a port list: the one given on the
// command line, else the one in VOLTRIX_PORTS (comma separated), else the serial ports the
// system reports, USB adapters first. An entry that names no existing device is a port that
// does not exist, so a list can leave gaps ("/dev/ttyS0,,/dev/ttyUSB0").
class PortDirectory
{
public:
    static constexpr int PortCount = 16;

    // The system's ports, looked up again at every deviceFor(), so an adapter plugged in
    // after start-up is found.
    PortDirectory() = default;
    // A fixed list.
    explicit PortDirectory(const QStringList &devices);

    // The command-line list when given (non-empty), else VOLTRIX_PORTS, else the system's.
    static PortDirectory fromSources(const QString &commandLineList);
    // "a, b,,c" -> {"a", "b", "", "c"}; an empty text gives an empty list.
    static QStringList parseList(const QString &commaSeparated);
    // The system's serial ports as device paths, USB adapters (ttyUSB*, ttyACM*, usbserial,
    // usbmodem) first, each group in natural order (ttyUSB2 before ttyUSB10).
    static QStringList systemPorts();
    static QStringList orderPorts(QStringList devices);

    QStringList devices() const;
    // The device for a port number; empty when the number maps to nothing.
    QString deviceFor(int portNumber) const;

private:
    QStringList m_devices;
    bool m_fixed = false;
};
