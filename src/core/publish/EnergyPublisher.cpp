#include "core/publish/EnergyPublisher.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "core/common/Clock.h"
#include "core/energy/EnergyMeter.h"
#include "core/publish/MqttPublisher.h"

namespace
{

constexpr int SixDecimals = 6;

// The channel's config with the device and availability of its reading's, as an energy sensor.
QByteArray energyConfig(const MqttPublisher &publisher, int channel, const QString &stateTopic)
{
    const QString id = publisher.device().id;
    DiscoveryConfig::Sensor sensor;
    sensor.channel = channel;
    sensor.stateTopic = stateTopic;
    sensor.availabilityTopic = publisher.statusTopic();
    sensor.unit = QStringLiteral("kWh");
    QJsonObject config =
        QJsonDocument::fromJson(DiscoveryConfig::payload(publisher.device(), sensor)).object();
    config.remove(QStringLiteral("value_template"));
    config.insert(QStringLiteral("name"), QStringLiteral("Ch%1 energy").arg(channel));
    config.insert(QStringLiteral("unique_id"), QStringLiteral("%1_ch%2_energy").arg(id).arg(channel));
    config.insert(QStringLiteral("device_class"), QStringLiteral("energy"));
    config.insert(QStringLiteral("state_class"), QStringLiteral("total_increasing"));
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

} // namespace

EnergyPublisher::EnergyPublisher(MqttPublisher &publisher, const Clock &clock, QObject *parent)
    : QObject(parent), m_publisher(publisher), m_clock(clock)
{
    m_later.setSingleShot(true);
    connect(&m_later, &QTimer::timeout, this, [this] {
        for (int k = 0; k < int(m_channels.size()); ++k)
            publish(k);
    });
}

void EnergyPublisher::energyChanged(const EnergyMeter &run)
{
    if (!m_publisher.isOn()) return;
    for (int k = 0; k < int(m_channels.size()); ++k) {
        const ChannelEnergy &energy = run.channel(k);
        m_channels[std::size_t(k)].kilowattHours = energy.current ? energy.kilowattHours : -1;
        publish(k);
    }
}

void EnergyPublisher::flush()
{
    for (Channel &channel : m_channels)
        channel.publishedMs = 0;
    for (int k = 0; k < int(m_channels.size()); ++k)
        publish(k);
}

void EnergyPublisher::runStarted()
{
    for (Channel &channel : m_channels)
        channel.kilowattHours = channel.published = -1;
}

void EnergyPublisher::publish(int k)
{
    Channel &channel = m_channels[std::size_t(k)];
    if (!m_publisher.isOn() || channel.kilowattHours < 0 || channel.kilowattHours == channel.published)
        return;
    const qint64 now = m_clock.tickMs();
    const qint64 wait = channel.publishedMs + MinGapMs - now;
    if (channel.published >= 0 && wait > 0) {
        if (!m_later.isActive()) m_later.start(int(wait));
        return;
    }
    const int number = k + 1;
    const QString topic = m_publisher.prefix() + QStringLiteral("/ch%1/energy").arg(number);
    if (m_publisher.discovery() && !channel.announced) {
        channel.announced = true;
        m_publisher.publish(QStringLiteral("homeassistant/sensor/%1_ch%2_energy/config")
                                .arg(m_publisher.device().id)
                                .arg(number)
                                .toUtf8(),
                            energyConfig(m_publisher, number, topic), true);
    }
    m_publisher.publish(topic.toUtf8(), QByteArray::number(channel.kilowattHours, 'f', SixDecimals), true);
    channel.published = channel.kilowattHours;
    channel.publishedMs = now;
}
