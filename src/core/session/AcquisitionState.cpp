#include "core/session/AcquisitionState.h"

void AcquisitionState::clearChannels()
{
    channelPresent.fill(false);
    skipStats.fill(false);
    rangeMixed.fill(false);
    for (QString &unit : channelUnit)
        unit.clear();
}
