#include "core/setup/SetupValues.h"

#include "core/settings/Settings.h"
#include "core/setup/PortPair.h"

#include <tuple>

namespace
{

auto fields(const SetupValues &v)
{
    return std::tie(v.autoScan, v.selePort, v.commp, v.Alarm, v.T1_CK, v.T1Hi, v.T1Low, v.YScale, v.unit,
                    v.Channel_n, v.Channel_sn, v.Channel_p, v.Power_cos, v.Power_V, v.Power_Unit,
                    v.Energy_pair);
}

constexpr int DefaultScalePosition = 3; // "100"

} // namespace

SetupValues::SetupValues() : SetupValues(fromSettings(Settings())) {}

SetupValues SetupValues::fromSettings(const Settings &settings)
{
    SetupValues v{Uninitialised{}};
    v.autoScan = settings.autoScan == 1;
    v.selePort = settings.selePort == 1;
    v.commp = settings.commp;
    v.Alarm = settings.Alarm == 1;
    v.T1_CK = settings.T1_CK;
    v.T1Hi = settings.T1Hi;
    v.T1Low = settings.T1Low;
    v.YScale = settings.YScale;
    v.unit = settings.unit;
    v.Channel_n = settings.Channel_n;
    v.Channel_sn = settings.Channel_sn;
    v.Channel_p = settings.Channel_p;
    v.Power_cos = settings.Power_cos;
    v.Power_V = settings.Power_V;
    v.Power_Unit = settings.Power_Unit;
    v.Energy_pair = settings.Energy_pair;
    return v;
}

void SetupValues::toSettings(Settings &settings) const
{
    settings.autoScan = autoScan;
    settings.selePort = selePort;
    settings.commp = qint16(commp);
    settings.Alarm = Alarm;
    settings.T1_CK = qint16(T1_CK);
    settings.T1Hi = T1Hi;
    settings.T1Low = T1Low;
    settings.YScale = qint16(YScale);
    settings.unit = qint16(unit);
    settings.Channel_n = Channel_n;
    settings.Channel_sn = Channel_sn;
    settings.Channel_p = Channel_p;
    settings.Power_cos = Power_cos;
    settings.Power_V = Power_V;
    settings.Power_Unit = Power_Unit;
    settings.Energy_pair = Energy_pair;
}

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
    current.Energy_pair = firstRun.Energy_pair;
    return current;
}
