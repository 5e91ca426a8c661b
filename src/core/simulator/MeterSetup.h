#pragma once
#include <QString>
#include <optional>

#include "core/simulator/ReceiverSimulator.h"

// A simulated meter written as "key=value" pairs separated by commas, as voltrix-sim takes it:
//   ch=0,fn=DCV,prefix=m,dp=10,interval=2s,pattern=sine,min=-100,max=100,period=60
// Keys: ch (0..5); fn (function name or code 0..9); prefix (n u m none K M or code 0..5);
// dp (divisor 1, 10, 100, 1000) or dpcode (raw code 0..7); interval (2s 10s 30s 1m 2m, an
// interval code 0..4, or any time such as 500ms or 5s, sent with the nearest code) or icode
// (raw code 0..15); pattern (constant ramp sine walk); min; max; value (constant value and
// walk start); period (seconds); seed (default: `baseSeed` plus the channel); overload (every Nth frame);
// range (prefix toggles every N frames); switch (function changes after N frames); switchto (function); delay
// (ms).
namespace MeterSetup
{

std::optional<SimulatedMeter> parse(const QString &text, quint32 baseSeed = 1, QString *error = nullptr);

// Function code of a name (any letter case) or a code 0..9; -1 when neither.
int functionCode(const QString &text);
// Prefix code of n, u, m, none (or "-"), K (or k), M, or a code 0..5; -1 when neither.
int prefixCode(const QString &text);
// Milliseconds of "2s", "1m", "500ms", "1.5s"; a bare number is seconds. -1 when unreadable.
int durationMs(const QString &text);

} // namespace MeterSetup
