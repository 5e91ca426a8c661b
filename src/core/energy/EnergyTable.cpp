#include "core/energy/EnergyTable.h"

#include <QCoreApplication>

#include "core/common/NumberFormat.h"
#include "core/record/CsvExport.h"

namespace EnergyTable
{

namespace
{

QString channelText(int channel)
{
    return QStringLiteral("Ch%1").arg(channel + 1);
}

QString voltageSourceOf(const EnergyRates &rates, int channel)
{
    const int pair = rates.voltageChannel[std::size_t(channel)];
    if (pair != EnergyRates::Unpaired) return channelText(pair);
    return QStringLiteral("%1 V").arg(QString::number(rates.volts, 'g', 6));
}

} // namespace

QList<Row> rows(const EnergyMeter &meter, const std::array<QString, ChannelCount> &names)
{
    QList<Row> table;
    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelEnergy &energy = meter.channel(c);
        if (!energy.current) continue;
        table.append({names[std::size_t(c)], voltageSourceOf(meter.rates(), c), energy, meter.cost(energy)});
    }
    const ChannelEnergy total = meter.total();
    table.append({QCoreApplication::translate("EnergyTable", "Total"), QString(), total, meter.cost(total)});
    return table;
}

QString caption(int column)
{
    switch (column) {
    case 0:
        return QCoreApplication::translate("EnergyTable", "Channel");
    case 1:
        return QCoreApplication::translate("EnergyTable", "Voltage");
    case 2:
        return QCoreApplication::translate("EnergyTable", "kWh");
    case 3:
        return QCoreApplication::translate("EnergyTable", "Average W");
    case 4:
        return QCoreApplication::translate("EnergyTable", "Cost");
    case 5:
        return QCoreApplication::translate("EnergyTable", "Time ( d : h : m : s )");
    default:
        return {};
    }
}

QString kilowattHoursText(double kilowattHours)
{
    return QString::number(kilowattHours, 'f', 3);
}

QString wattsText(double watts)
{
    return QString::number(watts, 'f', 1);
}

QString costText(double cost)
{
    return NumberFormat::format(cost, u"######0.00");
}

QString csv(const EnergyMeter &meter)
{
    std::array<QString, ChannelCount> names;
    for (int c = 0; c < ChannelCount; ++c)
        names[std::size_t(c)] = channelText(c);
    QString text = QStringLiteral("channel,voltage,kWh,average_W,seconds,cost\r\n");
    const QList<Row> table = rows(meter, names);
    for (int i = 0; i < table.size(); ++i) {
        const Row &row = table[i];
        const bool total = i == table.size() - 1;
        text += QStringList{total ? QStringLiteral("Total") : CsvExport::quoteField(row.name),
                            CsvExport::quoteField(row.voltageSource),
                            QString::number(row.energy.kilowattHours, 'f', 6),
                            QString::number(row.energy.averageWatts(), 'f', 1),
                            QString::number(row.energy.seconds, 'f', 0),
                            QString::number(row.cost, 'f', 4)}
                    .join(u',');
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString write(const EnergyMeter &meter, const QString &path)
{
    QString error;
    return CsvExport::writeBytes(csv(meter).toUtf8(), path, &error) ? QString() : error;
}

} // namespace EnergyTable
