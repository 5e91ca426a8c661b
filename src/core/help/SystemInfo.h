#pragma once
#include <QList>
#include <QString>
#include <optional>

// What support needs to know about the machine the program runs on, as plain text the user
// can copy (the About box's "&System Info..." button).
namespace SystemInfo
{

struct SerialPort {
    QString name;        // "ttyUSB0", "COM3"
    QString location;    // "/dev/ttyUSB0"
    QString description; // "CP2102 USB to UART Bridge Controller"
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

struct Facts {
    QString operatingSystem; // "Debian GNU/Linux 12 (bookworm)"
    QString kernel;          // "linux 6.1.0-18-amd64"
    QString cpuArchitecture; // "x86_64"
    QString qtVersion;       // the Qt the program runs with
    QList<SerialPort> serialPorts;
};

// The facts of this machine and the serial ports the system reports.
Facts gather();

struct Context {
    int languageId = 0;
    QString recordsFolder;
    QString settingsFile;
};

// The report, or nothing when the system told nothing about itself (then the About box shows
// "System Information Is Unavailable At This Time").
std::optional<QString> text(const Facts &facts, const Context &context);

} // namespace SystemInfo
