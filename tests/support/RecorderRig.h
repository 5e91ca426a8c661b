#pragma once
#include <QByteArray>
#include <QTemporaryDir>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/WindowHooks.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameReader.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/recording/SampleRecorder.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "support/ManualClock.h"

// The receive cycle without port, link or recording control: bytes go through the frame
// reader into the sample recorder and what it drives (record, statistics, alarm, monitor and
// the channel selection), as while a record is being recorded.
class RecorderRig
{
public:
    RecorderRig();
    RecorderRig(const RecorderRig &) = delete;
    RecorderRig &operator=(const RecorderRig &) = delete;

    // Frames arrive; every whole one is recorded.
    void feed(const QByteArray &bytes);
    // The record asked to be closed and started anew (function change or full table).
    int restartsAsked() const { return m_restarts; }

private:
    struct SilentSound final : AlarmSound {
        void play() override {}
    };
    QTemporaryDir m_folder;
    SilentSound m_sound;
    GraphHooks m_graph;
    PowerHooks m_power;
    FrameReader m_reader;
    int m_restarts = 0;

public:
    ManualClock clock;
    SettingsStore store;
    Settings settings;
    AcquisitionState state;
    AlarmSetup alarmSetup;
    WindowVisibility windows;
    RecordStore record;
    MonitorFields monitor;
    Statistics statistics{state, record, monitor};
    Alarm alarm{state, monitor, alarmSetup, store, m_sound};
    SampleRecorder recorder{
        {state, record, monitor, statistics, alarm, settings, windows, clock, m_graph, m_power}};
    ChannelSelector selector{
        {state, monitor, record, statistics, alarm, alarmSetup, settings, windows, m_graph, m_power}};
};

// The reading of `channel` (0..5) for record row `row` of a six-channel record whose channels
// measure different functions, as the benchmarks feed them.
QByteArray benchFrame(int channel, int row);
