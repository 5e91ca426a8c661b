#include "core/setup/SetupValues.h"

#include "core/setup/PortPair.h"

#include <tuple>

namespace
{

auto fields(const SetupValues &v)
{
    return std::tie(v.autoScan, v.selePort, v.commp, v.Alarm, v.T1_CK, v.T1Hi, v.T1Low, v.YScale, v.unit,
                    v.Channel_n, v.Channel_sn, v.Channel_p, v.Power_cos, v.Power_V, v.Power_Unit);
}

constexpr int DefaultScalePosition = 3; // "100"

} // namespace

bool SetupValues::operator==(const SetupValues &other) const
{
    return fields(*this) == fields(other);
}

SetupValues withDefaultButton(SetupValues current)
{
    const SetupValues firstRun;
    const PortPair ports = PortPair::afterAutoScanClick(true);
    current.autoScan = ports.autoScan;
    current.selePort = ports.selePort;
    current.T1Hi = firstRun.T1Hi;
    current.T1Low = firstRun.T1Low;
    current.YScale = DefaultScalePosition;
    current.Channel_n = firstRun.Channel_n;
    current.Channel_sn = firstRun.Channel_sn;
    current.Channel_p = firstRun.Channel_p;
    current.Power_V = firstRun.Power_V;
    current.Power_Unit = firstRun.Power_Unit;
    current.Power_cos = firstRun.Power_cos;
    return current;
}
