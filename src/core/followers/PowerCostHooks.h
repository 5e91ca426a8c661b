#pragma once
#include "core/common/WindowHooks.h"

struct AcquisitionState;
struct Settings;
class Clock;
class MonitorFields;
class PowerCostMonitor;
class WindowVisibility;

// The power cost procedures the decoder, the selector and the commands run, carried out on
// the power cost monitor with the session's values: the main channel and its function, the
// power window's check mark, the number the monitor shows, the settings' channel texts and
// rates, and the clock's monotonic tick counter. Keeps the shared power-active flag.
class PowerCostHooks final : public PowerHooks
{
public:
    struct Collaborators {
        PowerCostMonitor &monitor;
        AcquisitionState &state;
        const MonitorFields &display;
        const Settings &settings;
        const WindowVisibility &windows;
        const Clock &clock;
    };
    explicit PowerCostHooks(const Collaborators &collaborators);

    void powerCheck() override;
    void powerRate() override;
    void resetStart() override;

private:
    Collaborators m_;
};
