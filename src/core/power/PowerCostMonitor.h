#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <optional>

#include "core/power/PowerInputs.h"

// The electric power cost of a current-measuring main channel: the eight caption/value
// pairs of the power cost window and the accumulation behind them.
//
// Elapsed time and intervals come from a monotonic millisecond counter (Clock::tickMs()),
// so an accumulation that runs across midnight or a change of the system clock keeps
// counting forward.
class PowerCostMonitor : public QObject
{
    Q_OBJECT

public:
    static constexpr int FieldCount = 8;
    enum Field { ChannelName, SerialNumber, Place, Voltage, PowerFactor, UnitPrice, Elapsed, Charge };

    static QString windowCaption(); // "Electric Power Cost Monitor"
    static QString caption(int field);
    // The charge picture "######0.00".
    static QString chargeText(double charge);
    // DCA and ACA: the only functions whose readings are a current.
    static bool measuresCurrent(int functionCode);

    explicit PowerCostMonitor(QObject *parent = nullptr);

    // Resets the accumulation and arms it when the main channel measures a current and the
    // power command carries its check mark; otherwise disarms it and empties every value.
    void power_check(int mainFunction, bool powerCommandChecked, const PowerChannel &channel,
                     const PowerRates &rates);
    // One accumulation step for a reading of the main channel: `mainDisplay` and `mainUnit`
    // are the number and unit the monitor shows ("500.0", "mA"), `nowMs` the monotonic tick
    // counter. Does nothing while not armed. The first step after a reset only starts the clock.
    void power_rate(qint64 nowMs, const QString &mainDisplay, const QString &mainUnit,
                    const PowerRates &rates);
    // The Setup dialog's new channel texts and rates for values 0..5.
    void showChannelAndRates(const PowerChannel &channel, const PowerRates &rates);
    // A new record: the next step starts the elapsed time (and the interval) afresh.
    void markNotStarted();

    bool powerRunning() const { return m_running; }
    QString value(int field) const;
    const std::array<QString, FieldCount> &values() const { return m_values; }
    double charge() const { return m_charge; }

Q_SIGNALS:
    void valuesChanged();

private:
    void setChannelAndRates(const PowerChannel &channel, const PowerRates &rates);

    std::array<QString, FieldCount> m_values;
    bool m_running = false;
    double m_charge = 0;
    std::optional<qint64> m_startMs;
    std::optional<qint64> m_lastMs;
};
