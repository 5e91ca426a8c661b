#include "core/monitor/MonitorFields.h"

MonitorFields::MonitorFields(QObject *parent) : QObject(parent)
{
    reset();
}

void MonitorFields::reset()
{
    bigValue = QStringLiteral("-????.?");
    bigUnit = QStringLiteral("??");
    file.clear();
    type.clear();
    receivedChannels.clear();
    label8[0] = QStringLiteral("-");
    label8[1] = QStringLiteral("-");
    clearAlarmDisplay();
    for (int i = 0; i < 3; ++i) {
        stats[i] = QStringLiteral("-");
        stats[i + 3].clear();
    }
    statTimes[1] = QStringLiteral("-");
    statTimes[2] = QStringLiteral("-");
    serialNumber = QStringLiteral("-");
    place = QStringLiteral("-");
    linkLoss.clear();
}

void MonitorFields::clearChannelList()
{
    channelEntries.clear();
    channelIndex = -1;
}

void MonitorFields::clearAlarmDisplay()
{
    armedImageVisible = false;
    soundingImageVisible = false;
    label8[2] = QStringLiteral("-");
    label8[3] = QStringLiteral("-");
    label8[4].clear();
    label8[5].clear();
}
