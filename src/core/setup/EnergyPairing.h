#pragma once
#include "core/common/ChannelCount.h"
#include <QString>
#include <array>

struct SetupValues;

// The Setup dialog's check of what the energy of every current channel is computed with: the
// voltage channel named for a channel, and the voltage, power factor and unit price.
namespace EnergyPairing
{

constexpr int Unknown = -1; // a channel that has not reported in the record

// "" when the values can be taken, else the reason they cannot. `functions` are the channels'
// measuring functions as the record knows them (Unknown for a channel not heard from): a
// channel named as a voltage channel must not be the channel itself, nor one that measures a
// current or anything else but a voltage; the rates must be numbers of 0 or more.
QString problem(const SetupValues &values, const std::array<int, ChannelCount> &functions);

} // namespace EnergyPairing
