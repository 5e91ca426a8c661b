#include "core/energy/EnergyMeter.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "core/common/NumberFormat.h"
#include "core/common/TimeOfDay.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"
#include "core/settings/Settings.h"

namespace
{

constexpr int SecondsPerDay = 86400;
constexpr double SecondsPerHour = 3600;
constexpr double WattsPerKilowatt = 1000;

// A negative or unreadable rate counts as nothing.
double rateOf(const QString &text)
{
    bool ok = false;
    const double value = NumberFormat::parseNumber(text, &ok);
    return ok && value >= 0 ? value : 0.0;
}

// Seconds from `from` to `to`, forwards across midnight.
int secondsForward(int from, int to)
{
    return (to - from + SecondsPerDay) % SecondsPerDay;
}

// Seconds `earlier` lies before `later`, in -12 h .. +12 h.
int secondsBefore(int earlier, int later)
{
    int d = secondsForward(earlier, later);
    return d > SecondsPerDay / 2 ? d - SecondsPerDay : d;
}

// A reading in its base unit (amperes, volts); false for an overload or anything not a number.
bool baseValue(QStringView value, QStringView unit, double *base)
{
    bool ok = false;
    const double number = NumberFormat::parseNumber(value, &ok);
    if (!ok) return false;
    const int prefix =
        unit.isEmpty() ? Measurement::NoPrefix : Measurement::prefixCodeOfUnit(unit.toString());
    *base = number * double(Measurement::prefixFactor(prefix));
    return true;
}

bool isOverload(QStringView value)
{
    return value.endsWith(u"OL");
}

} // namespace

EnergyRates EnergyRates::of(const Settings &settings)
{
    EnergyRates rates;
    rates.volts = rateOf(settings.Power_V);
    rates.powerFactor = rateOf(settings.Power_cos);
    rates.price = rateOf(settings.Power_Unit);
    for (std::size_t c = 0; c < rates.voltageChannel.size(); ++c)
        rates.voltageChannel[c] = settings.voltageChannel(int(c));
    return rates;
}

double ChannelEnergy::averageWatts() const
{
    return seconds > 0 ? kilowattHours * WattsPerKilowatt * SecondsPerHour / seconds : 0.0;
}

void EnergyMeter::reset()
{
    m_channels.fill({});
    m_states.fill({});
}

void EnergyMeter::add(int channel, int function, int intervalSeconds, QStringView time, QStringView value,
                      const QString &unit)
{
    if (channel < 0 || channel >= ChannelCount) return;
    const auto k = std::size_t(channel);
    ChannelState &state = m_states[k];
    ChannelEnergy &energy = m_channels[k];
    const int now = secondsOfDay(time);
    if (now < 0) return;
    const int since = state.lastTime < 0 ? -1 : secondsForward(state.lastTime, now);
    state.lastTime = now;
    state.intervalSeconds = intervalSeconds;
    energy.current = function == Measurement::DCA || function == Measurement::ACA;
    state.voltage = function == Measurement::DCV || function == Measurement::ACV;

    if (state.voltage) {
        double volts = 0;
        if (!baseValue(value, unit, &volts)) return;
        state.newestVoltage = (state.newestVoltage + 1) % KeptVoltages;
        state.voltages[std::size_t(state.newestVoltage)] = {now, std::abs(volts)};
        return;
    }
    if (!energy.current) return;
    ++energy.samples;
    if (isOverload(value)) {
        ++energy.overloads;
        return;
    }
    double amperes = 0;
    if (since < 0 || !baseValue(value, unit, &amperes)) return;
    if (since > GapIntervals * intervalSeconds) {
        ++energy.gaps;
        return;
    }
    double volts = m_rates.volts;
    const int pair = m_rates.voltageChannel[k];
    if (pair != EnergyRates::Unpaired && !voltageAt(pair, now, &volts)) {
        ++energy.noVoltage;
        return;
    }
    const double watts = std::abs(amperes) * volts * m_rates.powerFactor;
    energy.kilowattHours += watts * since / (WattsPerKilowatt * SecondsPerHour);
    energy.seconds += since;
}

bool EnergyMeter::voltageAt(int voltageChannel, int time, double *volts) const
{
    if (voltageChannel < 0 || voltageChannel >= ChannelCount) return false;
    const ChannelState &source = m_states[std::size_t(voltageChannel)];
    if (!source.voltage) return false;
    const int oldest = VoltageAgeIntervals * source.intervalSeconds;
    int bestAge = -1;
    for (const Reading &reading : source.voltages) {
        if (reading.time < 0) continue;
        const int age = secondsBefore(reading.time, time);
        if (age <= 0 || age > oldest || (bestAge >= 0 && age >= bestAge)) continue;
        bestAge = age;
        *volts = reading.value;
    }
    return bestAge > 0;
}

ChannelEnergy EnergyMeter::total() const
{
    ChannelEnergy sum;
    for (const ChannelEnergy &c : m_channels) {
        if (!c.current) continue;
        sum.current = true;
        sum.kilowattHours += c.kilowattHours;
        sum.seconds = std::max(sum.seconds, c.seconds);
        sum.samples += c.samples;
        sum.overloads += c.overloads;
        sum.noVoltage += c.noVoltage;
        sum.gaps += c.gaps;
    }
    return sum;
}

EnergyMeter EnergyMeter::ofRecord(const RecordTable &record, const EnergyRates &rates)
{
    struct Sample {
        int channel;
        int row;
        int time;
    };
    std::vector<Sample> samples;
    std::array<int, ChannelCount> interval{};
    for (int c = 0; c < ChannelCount; ++c) {
        std::map<int, int> gapCounts;
        int last = -1, day = 0;
        for (int row = 1; row < record.gridRowCount(); ++row) {
            const int t = secondsOfDay(record.cell(row, RecordStore::timeColumn(c)));
            if (t < 0) continue;
            if (last >= 0) {
                if (t < last) ++day;
                ++gapCounts[secondsForward(last, t)];
            }
            last = t;
            samples.push_back({c, row, day * SecondsPerDay + t});
        }
        const auto common =
            std::max_element(gapCounts.begin(), gapCounts.end(),
                             [](const auto &a, const auto &b) { return a.second < b.second; });
        const auto &announced = Measurement::IntervalSecondsByCode;
        const int gap = common == gapCounts.end() ? announced[0] : common->first;
        interval[std::size_t(c)] =
            *std::min_element(std::begin(announced), std::end(announced),
                              [gap](int a, int b) { return std::abs(a - gap) < std::abs(b - gap); });
    }
    // Samples of one second in channel order: the voltage taken is always one stamped before.
    std::stable_sort(samples.begin(), samples.end(),
                     [](const Sample &a, const Sample &b) { return a.time < b.time; });
    EnergyMeter meter(rates);
    for (const Sample &s : samples) {
        const int function = Measurement::functionCodeOf(record.functionCaption[std::size_t(s.channel)]);
        meter.add(s.channel, function, interval[std::size_t(s.channel)],
                  record.cell(s.row, RecordStore::timeColumn(s.channel)),
                  record.cell(s.row, RecordStore::valueColumn(s.channel)),
                  record.cell(s.row, RecordStore::unitColumn(s.channel)));
    }
    return meter;
}
