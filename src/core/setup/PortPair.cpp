#include "core/setup/PortPair.h"

PortPair PortPair::fromStored(bool autoScan, bool selePort)
{
    return afterSelectPortClick(selePort && !autoScan);
}

PortPair PortPair::afterAutoScanClick(bool autoScanNowChecked)
{
    return PortPair{autoScanNowChecked, !autoScanNowChecked};
}

PortPair PortPair::afterSelectPortClick(bool selePortNowChecked)
{
    return PortPair{!selePortNowChecked, selePortNowChecked};
}
