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

QString deviceClass(const QString &function, const QString &unit)
{
    struct Row {
        const char *function;
        const char *deviceClass;
        std::initializer_list<const char *> units;
    };
    static const Row rows[] = {
        {"DCV", "voltage", {"V", "mV"}}, {"ACV", "voltage", {"V", "mV"}}, {"Diode", "voltage", {"V", "mV"}},
        {"DCA", "current", {"A", "mA"}}, {"ACA", "current", {"A", "mA"}}, {"Hz", "frequency", {"Hz"}},
    };
    for (const Row &row : rows) {
        if (function != QLatin1String(row.function)) continue;
        for (const char *accepted : row.units)
            if (unit == QLatin1String(accepted)) return QLatin1String(row.deviceClass);
    }
    return {};
}

QByteArray payload(const Device &device, int channel, const QString &stateTopic,
                   const QString &availabilityTopic, const QString &unit, const QString &function)
{
    QJsonObject config{
        {QStringLiteral("name"), QStringLiteral("Ch%1").arg(channel)},
        {QStringLiteral("unique_id"), QStringLiteral("%1_ch%2").arg(device.id).arg(channel)},
        {QStringLiteral("state_topic"), stateTopic},
        {QStringLiteral("value_template"), QStringLiteral("{{ value_json.value }}")},
        {QStringLiteral("unit_of_measurement"), unit},
        {QStringLiteral("state_class"), QStringLiteral("measurement")},
        {QStringLiteral("availability_topic"), availabilityTopic},
    };
    QJsonObject receiver;
    receiver.insert(QStringLiteral("identifiers"), QJsonArray{QJsonValue(device.id)});
    receiver.insert(QStringLiteral("name"), QString(QStringLiteral("Voltrix ") + device.hostName));
    receiver.insert(QStringLiteral("sw_version"), device.version);
    config.insert(QStringLiteral("device"), receiver);
    const QString cls = deviceClass(function, unit);
    if (!cls.isEmpty()) config.insert(QStringLiteral("device_class"), cls);
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

} // namespace DiscoveryConfig
