#include "core/publish/MqttPublisher.h"

#include <QSysInfo>

MqttPublisher::MqttPublisher(QObject *parent) : QObject(parent)
{
    connect(&m_client, &MqttClient::stateChanged, this, &MqttPublisher::stateChanged);
    connect(&m_client, &MqttClient::messageReceived, this, &MqttPublisher::messageReceived);
}

MqttPublisher::~MqttPublisher()
{
    if (m_on && m_recordState != RecordState::Stopped) {
        m_recordState = RecordState::Stopped;
        publishRecordState();
    }
    stop();
}

bool MqttPublisher::start(const PublishOptions &options, QString *error)
{
    stop();
    MqttClient::Config config;
    const QString problem = PublishRules::check(options, &config.broker);
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return false;
    }
    m_prefix = options.prefix;
    m_discovery = options.discovery;
    m_statusTopic = (m_prefix + QStringLiteral("/status")).toUtf8();
    m_recordTopic = (m_prefix + QStringLiteral("/record")).toUtf8();
    for (int k = 0; k < 6; ++k)
        m_channelTopics[std::size_t(k)] = (m_prefix + QStringLiteral("/ch%1").arg(k + 1)).toUtf8();
    m_device = {PublishRules::discoveryId(m_prefix), QSysInfo::machineHostName(),
                QStringLiteral(VOLTRIX_VERSION)};
    m_announced = {};
    m_configs = {};
    config.caFile = options.caFile;
    config.statusTopic = m_statusTopic;
    config.qos = options.qos;
    if (m_discovery) config.subscriptions = {QByteArray(DiscoveryConfig::StatusTopic)};
    m_on = m_client.start(config, error);
    return m_on;
}

void MqttPublisher::stop()
{
    m_client.stop();
    m_on = false;
}

void MqttPublisher::sampleRecorded(const PublishedSample &sample)
{
    if (!m_on || sample.channel < 1 || sample.channel > 6) return;
    m_rows = std::max(m_rows, sample.row);
    if (m_discovery) announce(sample);
    m_client.publish(m_channelTopics[std::size_t(sample.channel - 1)], SampleFormat::json(sample), false);
}

void MqttPublisher::announce(const PublishedSample &sample)
{
    const auto k = std::size_t(sample.channel - 1);
    const QString announced =
        sample.unit + u'\n' + sample.function + u'\n' + QString::number(sample.intervalS);
    if (m_announced[k] == announced) return;
    m_announced[k] = announced;
    DiscoveryConfig::Sensor sensor;
    sensor.channel = sample.channel;
    sensor.name = sample.name;
    sensor.stateTopic = QString::fromUtf8(m_channelTopics[k]);
    sensor.availabilityTopic = QString::fromUtf8(m_statusTopic);
    sensor.unit = sample.unit;
    sensor.expireAfterS = ExpiryIntervals * sample.intervalS;
    m_configs[k] = DiscoveryConfig::payload(m_device, sensor);
    m_client.publish(DiscoveryConfig::topic(m_device.id, sample.channel), m_configs[k], true);
}

void MqttPublisher::messageReceived(const QByteArray &topic, const QByteArray &payload)
{
    // Home Assistant restarted may have lost what it was told: tell it again.
    if (topic != DiscoveryConfig::StatusTopic || payload != "online") return;
    for (int channel = 1; channel <= 6; ++channel)
        if (!m_configs[std::size_t(channel - 1)].isEmpty())
            m_client.publish(DiscoveryConfig::topic(m_device.id, channel),
                             m_configs[std::size_t(channel - 1)], true);
}

void MqttPublisher::recordStateChanged(RecordState state, int rows, const QString &stamp)
{
    m_recordState = state;
    m_rows = rows;
    m_stamp = stamp;
    if (m_on) publishRecordState();
}

void MqttPublisher::publishRecordState()
{
    static const char *const names[] = {"recording", "paused", "stopped"};
    QByteArray json = QByteArrayLiteral("{\"state\":\"") + names[int(m_recordState)] +
                      "\",\"rows\":" + QByteArray::number(m_rows) + ",\"stamp\":";
    SampleFormat::appendJsonString(json, m_stamp);
    json += '}';
    m_client.publish(m_recordTopic, json, true);
}

void MqttPublisher::recordSaved(const QString &fileName)
{
    if (!m_on) return;
    QByteArray json = QByteArrayLiteral("{\"saved\":");
    SampleFormat::appendJsonString(json, fileName);
    json += '}';
    m_client.publish(m_recordTopic, json, false);
}
