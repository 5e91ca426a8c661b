#include "core/setup/SetupValues.h"

#include "core/settings/SettingsKeys.h"
#include "core/setup/PortPair.h"

namespace
{

constexpr int DefaultScalePosition = 3; // "100"

} // namespace

bool SetupValues::operator==(const SetupValues &other) const
{
    return SettingsKeys::sameValues<SetupFields>(*this, other);
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
    current.Energy_pair = firstRun.Energy_pair;
    return current;
}
