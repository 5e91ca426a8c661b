#pragma once
#include <QString>
#include <QStringView>
#include <array>

#include "core/common/ChannelCount.h"

struct RecordTable;
struct Settings;

// What turns a current into energy and cost: the supply voltage, power factor and price per
// kWh (Power_V, Power_cos, Power_Unit), and for each channel the voltage channel it takes its
// voltage from (-1: the supply voltage).
struct EnergyRates {
    static constexpr int Unpaired = -1;

    double volts = 0;
    double powerFactor = 0;
    double price = 0;
    std::array<int, ChannelCount> voltageChannel{Unpaired, Unpaired, Unpaired, Unpaired, Unpaired, Unpaired};

    static EnergyRates of(const Settings &settings);
};

// One channel's energy so far.
struct ChannelEnergy {
    double kilowattHours = 0;
    double seconds = 0; // the time the energy covers
    int samples = 0;
    int overloads = 0;    // counted, adding nothing
    int noVoltage = 0;    // paired, but no voltage reading near enough: adding nothing
    int gaps = 0;         // longer than three intervals since the channel's previous sample
    bool current = false; // the channel measures a current (DCA, ACA)

    double averageWatts() const;
};

// The energy of every current channel of a record, sample by sample. Each sample's current,
// in amperes and by magnitude, times the channel's voltage and the power factor, counts over
// the time since the channel's previous sample; a gap longer than three of the channel's
// intervals and an overload add nothing. A paired channel's voltage is the paired voltage
// channel's latest reading stamped before the sample, no older than two of that channel's
// intervals. Times are the record's whole-second times of day; a day boundary between two
// samples is passed over forwards.
class EnergyMeter
{
public:
    static constexpr int GapIntervals = 3;
    static constexpr int VoltageAgeIntervals = 2;

    explicit EnergyMeter(const EnergyRates &rates = {}) : m_rates(rates) {}

    void setRates(const EnergyRates &rates) { m_rates = rates; }
    const EnergyRates &rates() const { return m_rates; }
    void reset(); // forgets every sample

    // One sample of `channel` as the record holds it: its function code, the interval its
    // meter announced, the time "hh:mm:ss", the value text ("-1.234", "+OL") and unit ("mA").
    void add(int channel, int function, int intervalSeconds, QStringView time, QStringView value,
             const QString &unit);

    const ChannelEnergy &channel(int channel) const { return m_channels.at(std::size_t(channel)); }
    ChannelEnergy total() const;
    double cost(const ChannelEnergy &energy) const { return energy.kilowattHours * m_rates.price; }

    // A whole record, as opened from a workbook: its samples in time order. A workbook holds no
    // announced intervals: each channel's is the meter interval nearest its most common gap.
    static EnergyMeter ofRecord(const RecordTable &record, const EnergyRates &rates);

private:
    struct Reading {
        int time = -1; // seconds of the day
        double value = 0;
    };
    static constexpr int KeptVoltages = 4;
    struct ChannelState {
        int lastTime = -1;
        int intervalSeconds = 0;
        bool voltage = false;
        std::array<Reading, KeptVoltages> voltages{};
        int newestVoltage = 0;
    };
    bool voltageAt(int voltageChannel, int time, double *volts) const;

    EnergyRates m_rates;
    std::array<ChannelEnergy, ChannelCount> m_channels{};
    std::array<ChannelState, ChannelCount> m_states{};
};
