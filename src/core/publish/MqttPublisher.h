#pragma once
#include <QObject>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/publish/DiscoveryConfig.h"
#include "core/publish/MqttClient.h"
#include "core/publish/SampleOutput.h"

// The samples and the record's state on a broker under a topic prefix:
//   <prefix>/ch<N>   one JSON object per sample
//   <prefix>/status  "online" / "offline", retained
//   <prefix>/record  each record's state (retained) and each workbook saved
// and, unless turned off, a Home Assistant discovery config per channel on its first sample and
// whenever its function or announced interval changes, sent again whenever Home Assistant
// announces itself. A program that closes leaves its last record "stopped".
class MqttPublisher : public QObject, public SampleOutput
{
    Q_OBJECT
public:
    explicit MqttPublisher(QObject *parent = nullptr);
    ~MqttPublisher() override;

    // Checks the options and starts connecting; false with the reason when they are refused.
    bool start(const PublishOptions &options, QString *error);
    void stop();
    bool isOn() const { return m_on; }
    const MqttClient &client() const { return m_client; }
    // For outputs beside the samples (the energy): the topics' prefix, the device, whether
    // discovery is on, and a message sent when on.
    const QString &prefix() const { return m_prefix; }
    const DiscoveryConfig::Device &device() const { return m_device; }
    QString statusTopic() const { return QString::fromUtf8(m_statusTopic); }
    bool discovery() const { return m_discovery; }
    void publish(const QByteArray &topic, const QByteArray &payload, bool retain)
    {
        if (m_on) m_client.publish(topic, payload, retain);
    }

    void sampleRecorded(const PublishedSample &sample) override;
    void recordStateChanged(RecordState state, int rows, const QString &stamp) override;
    void recordSaved(const QString &fileName) override;

    // Home Assistant holds a sensor unavailable after this many of the meter's intervals
    // without a sample.
    static constexpr int ExpiryIntervals = 3;

Q_SIGNALS:
    void stateChanged(MqttClient::State state, const QString &text);

private:
    void announce(const PublishedSample &sample);
    void messageReceived(const QByteArray &topic, const QByteArray &payload);
    void publishRecordState();

    MqttClient m_client;
    bool m_on = false;
    bool m_discovery = true;
    QString m_prefix;
    QByteArray m_recordTopic;
    QByteArray m_statusTopic;
    std::array<QByteArray, ChannelCount> m_channelTopics;
    DiscoveryConfig::Device m_device;
    // What each channel's config was published for (unit, function, interval) and the config.
    std::array<QString, ChannelCount> m_announced;
    std::array<QByteArray, ChannelCount> m_configs;
    // The record as last told; its rows follow the samples.
    RecordState m_recordState = RecordState::Stopped;
    QString m_stamp;
    int m_rows = 0;
};
