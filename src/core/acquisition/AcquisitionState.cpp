#include "core/acquisition/AcquisitionState.h"

void AcquisitionState::clearChannels()
{
    channels.present.fill(false);
    channels.skipStats.fill(false);
    channels.rangeMixed.fill(false);
    main.keptChannel = -1;
    for (QString &unit : channels.unit)
        unit.clear();
}

void AcquisitionState::applyDisplayLimits()
{
    Measurement::displayLimits(main.function, main.prefix, &limits);
}
