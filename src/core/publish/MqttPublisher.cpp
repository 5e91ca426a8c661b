#include "core/publish/MqttPublisher.h"

#include <QSysInfo>

MqttPublisher::MqttPublisher(QObject *parent) : QObject(parent)
{
    connect(&m_client, &MqttClient::stateChanged, this, &MqttPublisher::stateChanged);
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
    config.caFile = options.caFile;
    config.statusTopic = m_statusTopic;
    config.qos = options.qos;
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
    const auto k = std::size_t(sample.channel - 1);
    if (m_discovery && (m_announced[k].first != sample.unit || m_announced[k].second != sample.function)) {
        m_announced[k] = {sample.unit, sample.function};
        m_client.publish(
            DiscoveryConfig::topic(m_device.id, sample.channel),
            DiscoveryConfig::payload(m_device, sample.channel, QString::fromUtf8(m_channelTopics[k]),
                                     QString::fromUtf8(m_statusTopic), sample.unit, sample.function),
            true);
    }
    m_client.publish(m_channelTopics[k], SampleFormat::json(sample), false);
}

void MqttPublisher::recordStateChanged(RecordState state, int rows, const QString &stamp)
{
    if (!m_on) return;
    static const char *const names[] = {"recording", "paused", "stopped"};
    QByteArray json = QByteArrayLiteral("{\"state\":\"") + names[int(state)] +
                      "\",\"rows\":" + QByteArray::number(rows) + ",\"stamp\":";
    SampleFormat::appendJsonString(json, stamp);
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
