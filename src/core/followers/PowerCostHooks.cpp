#include "core/followers/PowerCostHooks.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/Clock.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/power/PowerCostMonitor.h"
#include "core/settings/Settings.h"

namespace
{

PowerRates ratesOf(const Settings &settings)
{
    return {settings.Power_V, settings.Power_cos, settings.Power_Unit};
}

PowerChannel channelOf(const Settings &settings, int channel)
{
    if (channel < 0 || channel >= ChannelCount) return {};
    const auto c = std::size_t(channel);
    return {settings.Channel_n[c], settings.Channel_sn[c], settings.Channel_p[c]};
}

} // namespace

PowerCostHooks::PowerCostHooks(const Collaborators &collaborators) : m_(collaborators) {}

void PowerCostHooks::powerCheck()
{
    // The check mark of the power command is the power window being shown.
    m_.monitor.power_check(m_.state.main.function, m_.windows.isShown(ChildWindow::Power),
                           channelOf(m_.settings, m_.state.main.channel), ratesOf(m_.settings));
    m_.state.main.powerRunning = m_.monitor.powerRunning();
}

void PowerCostHooks::powerRate()
{
    m_.monitor.power_rate(m_.clock.tickMs(), m_.display.bigValue, m_.display.bigUnit, ratesOf(m_.settings));
}

void PowerCostHooks::resetStart()
{
    m_.monitor.markNotStarted();
}
