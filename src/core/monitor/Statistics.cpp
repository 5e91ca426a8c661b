#include "core/monitor/Statistics.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"

namespace
{

const QString NoFigure = QStringLiteral("-");

QStringView averagePicture(int divisor)
{
    switch (divisor) {
    case 1000:
        return u"###0.000";
    case 100:
        return u"###0.00";
    case 10:
        return u"###0.0";
    default:
        return u"#####0";
    }
}

// A factor that converts a number of range `from` into range `to`, from the single-precision
// prefix table as the figures were always computed.
double rangeFactor(int from, int to)
{
    return double(Measurement::prefixFactor(from)) / double(Measurement::prefixFactor(to));
}

QString shownOrNone(const QString &text)
{
    return text.isEmpty() ? NoFigure : text;
}

} // namespace

Statistics::Statistics(const AcquisitionState &state, const RecordStore &record, MonitorFields &monitor)
    : m_state(state), m_record(record), m_monitor(monitor)
{
}

void Statistics::avg()
{
    const AcquisitionState &state = m_state;
    const ChannelReading &reading = state.reading;
    const int c = reading.channel;
    if (c < 0 || c >= ChannelCount) return;
    ChannelStatistics &stats = m_channels[c];

    bool numeric = false;
    const double value = NumberFormat::parseNumber(reading.valueText, &numeric);
    if (!numeric) {
        stats.average = reading.valueText;
        return;
    }
    const int prefix = state.channels.currentPrefix[c];
    if (stats.count > 0) {
        ++stats.count;
        // The sum goes on in the channel's current range. It is rescaled from the range it is
        // kept in rather than from the channel's previous range, which differ when an
        // uncounted overload carried a range change of its own.
        if (stats.sumPrefix != prefix) stats.sum *= rangeFactor(stats.sumPrefix, prefix);
        stats.sum += value;
    } else {
        stats.count = 1;
        stats.sum = value;
    }
    stats.sumPrefix = prefix;
    stats.average = NumberFormat::format(stats.sum / stats.count, averagePicture(reading.divisor));

    if (c == state.main.channel) {
        MonitorFields &monitor = m_monitor;
        monitor.average = {stats.average, monitor.bigUnit};
    }
}

void Statistics::maxMin()
{
    const AcquisitionState &state = m_state;
    const ChannelReading &reading = state.reading;
    const int c = reading.channel;
    if (c < 0 || c >= ChannelCount) return;
    ChannelStatistics &stats = m_channels[c];
    const int prefix = state.channels.currentPrefix[c];

    // Overloads stand for the limits of the channel's own function and range. (The main
    // channel's display limits are the same numbers for the main channel, but another
    // channel may measure something else entirely.)
    Measurement::DisplayLimits limits;
    const bool haveLimits = Measurement::displayLimits(reading.functionCode, prefix, &limits);
    const auto limitOf = [&](const QString &mark) {
        return mark.startsWith(u'+') ? limits.upper : limits.lower;
    };

    StatExtreme sample;
    bool numeric = false;
    sample.value = NumberFormat::parseNumber(reading.valueText, &numeric);
    if (!numeric) {
        if (!haveLimits ||
            (reading.valueText != QLatin1String("+OL") && reading.valueText != QLatin1String("-OL")))
            return;
        sample.mark = reading.valueText;
        sample.value = limitOf(sample.mark);
    }
    const RecordStore &record = m_record;
    sample.text = reading.valueText;
    sample.unit = state.channels.unit[c];
    sample.prefix = prefix;
    sample.row = record.nextRow(c) - 1;
    sample.time = record.cell(sample.row, RecordStore::timeColumn(c));

    if (!stats.hasExtremes) {
        stats.maximum = sample;
        stats.minimum = sample;
        stats.hasExtremes = true;
    } else {
        for (StatExtreme *extreme : {&stats.maximum, &stats.minimum}) {
            moveToRange(*extreme, prefix, sample.unit);
            if (!extreme->mark.isEmpty() && haveLimits) extreme->value = limitOf(extreme->mark);
        }
        // Single precision, as the figures were always compared; an equal value keeps the
        // earlier extreme and its time.
        const float x = float(sample.value);
        if (x > float(stats.maximum.value)) stats.maximum = sample;
        if (x < float(stats.minimum.value)) stats.minimum = sample;
    }
    if (c == state.main.channel) showExtremes(stats);
}

void Statistics::moveToRange(StatExtreme &extreme, int prefix, const QString &unit) const
{
    if (extreme.prefix == prefix) return;
    if (extreme.mark.isEmpty()) {
        extreme.value *= rangeFactor(extreme.prefix, prefix);
        extreme.text = QString::number(double(float(extreme.value)), 'g', 7);
    }
    extreme.prefix = prefix;
    extreme.unit = unit;
}

void Statistics::clear()
{
    m_channels.fill(ChannelStatistics{});
}

void Statistics::showChannel(int channel)
{
    if (channel < 0 || channel >= ChannelCount) return;
    const ChannelStatistics &stats = m_channels[channel];
    MonitorFields &monitor = m_monitor;
    monitor.average = {shownOrNone(stats.average),
                       stats.average.isEmpty() ? QString() : m_state.channels.unit[channel]};
    showExtremes(stats);
}

void Statistics::showExtremes(const ChannelStatistics &stats)
{
    MonitorFields &monitor = m_monitor;
    const auto shown = [](const StatExtreme &extreme) {
        return ShownExtreme{shownOrNone(extreme.text), extreme.text.isEmpty() ? QString() : extreme.unit,
                            shownOrNone(extreme.time)};
    };
    monitor.maximum = shown(stats.maximum);
    monitor.minimum = shown(stats.minimum);
}
