#include "core/recording/RecordReset.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/common/WindowHooks.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/Settings.h"

RecordReset::RecordReset(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
}

void RecordReset::clearRecord()
{
    m_.record.clearRecord(m_.settings.channelNames());
    m_.monitor.reset();
    m_.power.resetStart();
    m_.state.clearChannels();
    m_.statistics.clear();
    m_.graph.setPageBox(QStringLiteral("0"));
    m_.monitor.clearChannelList();
    m_.alarmSetup.units.clear();
    m_.alarmSetup.unitIndex = -1;
    Q_EMIT cleared();
    m_.monitor.notify();
}
