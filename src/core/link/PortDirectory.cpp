#include "core/link/PortDirectory.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace
{

bool isUsbAdapter(const QString &device)
{
    const QString name = device.section(QLatin1Char('/'), -1);
    return name.startsWith(u"ttyUSB") || name.startsWith(u"ttyACM") ||
           name.contains(u"usbserial", Qt::CaseInsensitive) ||
           name.contains(u"usbmodem", Qt::CaseInsensitive);
}

// ttyS2 before ttyS10: runs of digits compare by value.
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a.at(i).isDigit() && b.at(j).isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a.at(endA).isDigit())
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit())
                ++endB;
            const qulonglong numberA = a.mid(i, endA - i).toULongLong();
            const qulonglong numberB = b.mid(j, endB - j).toULongLong();
            if (numberA != numberB) return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j)) return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

PortDirectory::PortDirectory(const QStringList &devices) : m_devices(devices), m_fixed(true) {}

PortDirectory PortDirectory::fromSources(const QString &commandLineList)
{
    QStringList devices = parseList(commandLineList);
    if (devices.isEmpty()) devices = parseList(qEnvironmentVariable("VOLTRIX_PORTS"));
    return devices.isEmpty() ? PortDirectory() : PortDirectory(devices);
}

QStringList PortDirectory::parseList(const QString &commaSeparated)
{
    if (commaSeparated.trimmed().isEmpty()) return {};
    QStringList devices = commaSeparated.split(QLatin1Char(','));
    for (QString &device : devices)
        device = device.trimmed();
    return devices;
}

QStringList PortDirectory::orderPorts(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(), [](const QString &a, const QString &b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB) return usbA;
        return naturalLess(a, b);
    });
    return devices;
}

QStringList PortDirectory::systemPorts()
{
    QStringList devices;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        devices.append(info.systemLocation());
    return orderPorts(devices);
}

QStringList PortDirectory::devices() const
{
    return m_fixed ? m_devices : systemPorts();
}

QString PortDirectory::deviceFor(int portNumber) const
{
    if (portNumber < 1 || portNumber > PortCount) return {};
#ifdef Q_OS_WIN
    if (!m_fixed) return QStringLiteral("COM%1").arg(portNumber);
#endif
    const QStringList list = devices();
    return portNumber <= list.size() ? list.at(portNumber - 1) : QString();
}
