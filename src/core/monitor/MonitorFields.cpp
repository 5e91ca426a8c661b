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
    interval = {QStringLiteral("-"), QStringLiteral("-")};
    clearAlarmDisplay();
    average = {QStringLiteral("-"), {}};
    maximum = {QStringLiteral("-"), {}, QStringLiteral("-")};
    minimum = maximum;
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
    alarmLimits = {QStringLiteral("-"), {}, QStringLiteral("-"), {}};
}
