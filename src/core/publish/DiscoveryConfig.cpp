#include "core/publish/DiscoveryConfig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace DiscoveryConfig
{

QByteArray topic(const QString &id, int channel)
{
    return QStringLiteral("homeassistant/sensor/%1_ch%2/config").arg(id).arg(channel).toUtf8();
}

QString deviceClass(const QString &unit)
{
    if (unit == QLatin1String("V")) return QStringLiteral("voltage");
    if (unit == QLatin1String("A")) return QStringLiteral("current");
    if (unit == QLatin1String("Hz")) return QStringLiteral("frequency");
    return {};
}

QByteArray payload(const Device &device, const Sensor &sensor)
{
    QJsonObject config{
        {QStringLiteral("name"), sensor.name},
        {QStringLiteral("unique_id"), QStringLiteral("%1_ch%2").arg(device.id).arg(sensor.channel)},
        {QStringLiteral("state_topic"), sensor.stateTopic},
        {QStringLiteral("value_template"), QStringLiteral("{{ value_json.value }}")},
        {QStringLiteral("unit_of_measurement"), sensor.unit},
        {QStringLiteral("state_class"), QStringLiteral("measurement")},
        {QStringLiteral("availability_topic"), sensor.availabilityTopic},
    };
    if (sensor.expireAfterS > 0) config.insert(QStringLiteral("expire_after"), sensor.expireAfterS);
    const QString cls = deviceClass(sensor.unit);
    if (!cls.isEmpty()) config.insert(QStringLiteral("device_class"), cls);
    config.insert(QStringLiteral("device"),
                  QJsonObject{{QStringLiteral("identifiers"), QJsonArray{QJsonValue(device.id)}},
                              {QStringLiteral("name"), QString(QStringLiteral("Voltrix ") + device.hostName)},
                              {QStringLiteral("manufacturer"), QStringLiteral("Voltrix")},
                              {QStringLiteral("model"), QStringLiteral("Voltrix")},
                              {QStringLiteral("sw_version"), device.version}});
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

} // namespace DiscoveryConfig
