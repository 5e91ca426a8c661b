#include "core/acquisition/AcquisitionState.h"

#include "core/measurement/MeasurementTables.h"

void AcquisitionState::clearChannels()
{
    channelPresent.fill(false);
    skipStats.fill(false);
    rangeMixed.fill(false);
    keptMainChannel = -1;
    for (QString &unit : channelUnit)
        unit.clear();
}

void AcquisitionState::applyDisplayLimits()
{
    Measurement::DisplayLimits limits;
    if (Measurement::displayLimits(mainFunction, mainPrefix, &limits)) {
        upperLimit = limits.upper;
        lowerLimit = limits.lower;
    }
}
