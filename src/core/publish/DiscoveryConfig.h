#pragma once
#include <QByteArray>
#include <QString>

// What Home Assistant reads to find a channel: a retained config per channel under
// homeassistant/sensor/<id>_ch<N>/config, naming the channel's topic, unit and device class.
namespace DiscoveryConfig
{

struct Device {
    QString id;       // voltrix_<prefix with / turned into _>
    QString hostName; // the device is "Voltrix <host>"
    QString version;
};

QByteArray topic(const QString &id, int channel);
// The class Home Assistant has for this function in this unit, or "" (it logs any other unit
// given with a class as invalid).
QString deviceClass(const QString &function, const QString &unit);
QByteArray payload(const Device &device, int channel, const QString &stateTopic,
                   const QString &availabilityTopic, const QString &unit, const QString &function);

} // namespace DiscoveryConfig
