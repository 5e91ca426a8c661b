#include "core/help/SystemInfo.h"

#include <QCoreApplication>

#include "core/help/AboutBox.h"

#include <QSerialPortInfo>
#include <QStringList>
#include <QSysInfo>

namespace SystemInfo
{
namespace
{

bool known(const QString &fact)
{
    return !fact.isEmpty() && fact != QLatin1String("unknown");
}

QString hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

QString portLine(const SerialPort &port)
{
    QStringList parts;
    for (const QString &part : {port.description, port.manufacturer})
        if (!part.isEmpty()) parts << part;
    if (port.vendorId && port.productId)
        parts << QStringLiteral("USB ") + hex4(*port.vendorId) + u':' + hex4(*port.productId);
    if (!port.serialNumber.isEmpty())
        parts << QCoreApplication::translate("SystemInfo", "serial number ") + port.serialNumber;
    QString line = QStringLiteral("  ") + port.name;
    if (!port.location.isEmpty() && port.location != port.name)
        line += QStringLiteral(" (") + port.location + u')';
    if (!parts.isEmpty()) line += QStringLiteral(": ") + parts.join(QStringLiteral(", "));
    return line;
}

} // namespace

Facts gather()
{
    Facts facts;
    facts.operatingSystem = QSysInfo::prettyProductName();
    facts.kernel = QString(QSysInfo::kernelType() + u' ' + QSysInfo::kernelVersion()).trimmed();
    facts.cpuArchitecture = QSysInfo::currentCpuArchitecture();
    facts.qtVersion = QString::fromLatin1(qVersion());
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        SerialPort port{info.portName(),
                        info.systemLocation(),
                        info.description(),
                        info.manufacturer(),
                        info.serialNumber(),
                        {},
                        {}};
        if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
        facts.serialPorts << port;
    }
    return facts;
}

std::optional<QString> text(const Facts &facts, const Context &context)
{
    if (!known(facts.operatingSystem) && !known(facts.kernel) && !known(facts.cpuArchitecture)) return {};
    const auto orUnknown = [](const QString &fact) { return known(fact) ? fact : QStringLiteral("unknown"); };
    QStringList lines;
    lines << AboutBox::applicationTitle() + u' ' + AboutBox::version().trimmed();
    lines << QCoreApplication::translate("SystemInfo", "Operating system: ") +
                 orUnknown(facts.operatingSystem);
    lines << QCoreApplication::translate("SystemInfo", "Kernel: ") + orUnknown(facts.kernel);
    lines << QCoreApplication::translate("SystemInfo", "CPU architecture: ") +
                 orUnknown(facts.cpuArchitecture);
    lines << QCoreApplication::translate("SystemInfo", "Qt version: ") + orUnknown(facts.qtVersion);
    lines << QCoreApplication::translate("SystemInfo", "System language ID: ") +
                 QString::number(context.languageId);
    lines << QCoreApplication::translate("SystemInfo", "Records folder: ") + orUnknown(context.recordsFolder);
    lines << QCoreApplication::translate("SystemInfo", "Settings file: ") + orUnknown(context.settingsFile);
    lines << QCoreApplication::translate("SystemInfo", "Serial ports:");
    if (facts.serialPorts.isEmpty()) lines << QCoreApplication::translate("SystemInfo", "  none found");
    for (const SerialPort &port : facts.serialPorts)
        lines << portLine(port);
    return lines.join(u'\n') + u'\n';
}

} // namespace SystemInfo
