#pragma once
#include <QList>
#include <QString>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/energy/EnergyMeter.h"

// The energy table: a row per current channel and a total row, as the power window shows it
// and as --energy writes it.
namespace EnergyTable
{

struct Row {
    QString name;          // the channel's name; the total row's "Total"
    QString voltageSource; // "110 V", or the paired voltage channel "Ch4"
    ChannelEnergy energy;
    double cost = 0;
};

// One row per channel that measures a current, in channel order, then the total. `names` are
// the channels' names (index 0..5).
QList<Row> rows(const EnergyMeter &meter, const std::array<QString, ChannelCount> &names);

// The column captions the window shows.
QString caption(int column);
constexpr int ColumnCount = 6;
// The window's texts of a row's columns 2..5: kWh, average W, cost, time covered "d:h:m:s".
QString kilowattHoursText(double kilowattHours);
QString wattsText(double watts);
QString costText(double cost);

// The table as CSV (RFC 4180: CRLF, fields with a comma or quote quoted): a header row, a row
// "Ch<N>" per current channel and a row "Total"; kWh with six decimals, average W with one,
// seconds covered, the cost with four decimals.
QString csv(const EnergyMeter &meter);
// Writes the CSV completely or not at all; "" or what went wrong.
QString write(const EnergyMeter &meter, const QString &path);

} // namespace EnergyTable
