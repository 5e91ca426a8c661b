#pragma once
#include "core/common/ChannelCount.h"
#include <QObject>
#include <QTimer>
#include <array>

class Clock;
class EnergyMeter;
class MqttPublisher;

// The run's energy of every current channel for Home Assistant's energy dashboard: a retained
// <prefix>/ch<N>/energy holding the kWh since Start as a growing total, at most once every
// MinGapMs per channel (the newest value follows when the gap is over, and at Stop), and with
// discovery on a retained config on the channel's device: device class energy, state class
// total_increasing, unit kWh.
class EnergyPublisher : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinGapMs = 3000;

    EnergyPublisher(MqttPublisher &publisher, const Clock &clock, QObject *parent = nullptr);

    // The run's energy changed: each channel's total goes out once its gap is over.
    void energyChanged(const EnergyMeter &run);
    // Every channel's newest total, whatever the gap (the run stopped).
    void flush();
    // A new run: the totals start again from 0 (Home Assistant takes a drop as a new cycle).
    void runStarted();

private:
    void publish(int channel);

    MqttPublisher &m_publisher;
    const Clock &m_clock;
    QTimer m_later;
    struct Channel {
        double kilowattHours = -1; // -1: no current measured
        double published = -1;
        qint64 publishedMs = 0;
        bool announced = false;
    };
    std::array<Channel, ChannelCount> m_channels{};
};
