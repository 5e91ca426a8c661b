#pragma once
#include <QByteArray>
#include <QString>

// What Home Assistant reads to find a channel: a retained config per channel under
// homeassistant/sensor/<id>_ch<N>/config, naming the channel's topic, base unit and device class.
namespace DiscoveryConfig
{

struct Device {
    QString id;       // PublishRules::discoveryId: only [a-zA-Z0-9_-]
    QString hostName; // the device is "Voltrix <host>"
    QString version;
};

struct Sensor {
    int channel = 0; // 1..6
    QString name;
    QString stateTopic;
    QString availabilityTopic;
    QString unit;         // a base unit
    int expireAfterS = 0; // 0: never
};

// Where Home Assistant announces that it has (re)started: "online".
constexpr char StatusTopic[] = "homeassistant/status";

QByteArray topic(const QString &id, int channel);
// voltage for V, current for A, frequency for Hz, else "" (Home Assistant logs another unit
// given with a class as invalid).
QString deviceClass(const QString &unit);
QByteArray payload(const Device &device, const Sensor &sensor);

} // namespace DiscoveryConfig
