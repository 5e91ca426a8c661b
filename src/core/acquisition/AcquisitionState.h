#pragma once
#include <QString>
#include <QTime>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/measurement/MeasurementTables.h"

// The reading decoded from the frame being processed.
struct ChannelReading {
    qint16 channel = 0;
    qint16 intervalCode = 0;
    qint16 prefixCode = 0; // after normalisation
    qint16 functionCode = 0;
    qint16 divisor = 0; // 0 until a valid decimal-point code has been seen
    QString sign;       // "+" or "-"
    QString valueText;  // "+OL"/"-OL" or the formatted number
    QTime timeStamp;
};

// What the windows show until a Start resets them: nothing to reset while a record runs, a
// record opened from a workbook, or what start-up or Stop left.
enum class ResetPending : qint16 { None, OpenedRecord, Idle };

// The receiver's link; written by LinkProber, RecordingControl, Commands and SetupProcedures.
struct LinkState {
    bool up = false;
    qint16 selectedPort = 0;
    qint16 timeoutTicks = 0; // seconds since the last frame header
};

// What each channel has shown in the current record, indexed by channel (0..5); written by
// SampleRecorder as frames arrive and by RecordImport and RecordRecovery for a record read back.
struct ChannelHistory {
    std::array<bool, ChannelCount> present{};
    std::array<QString, ChannelCount> unit;
    std::array<qint16, ChannelCount> currentPrefix{};
    std::array<qint16, ChannelCount> previousPrefix{};
    std::array<bool, ChannelCount> prefixChanged{};
    std::array<bool, ChannelCount> rangeMixed{};
    std::array<bool, ChannelCount> skipStats{};
};

// The channel the monitor, the alarm, the graph and the power window follow; written by
// SampleRecorder and ChannelSelector (the channel and its function), RecordingControl (a split),
// Alarm, SetupProcedures and PowerCostHooks (their switches).
struct MainChannelState {
    qint16 channel = 0;
    qint16 function = 0;
    qint16 prefix = 0;
    bool rangeChanged = false;
    qint32 rowCount = 0;
    bool alarmEnabled = false;
    bool alarmActive = false;
    bool powerRunning = false;
    // The main channel of a record split off automatically, until it reports in the record that
    // followed (and becomes its main channel again) or `keptUntilMs` (a clock tick) passes;
    // -1 when none is awaited.
    qint16 keptChannel = -1;
    qint64 keptUntilMs = 0;
};

// What the program knows about the link, the channels and the main channel. One instance,
// created by the session and handed to the rules that read or write it.
struct AcquisitionState {
    LinkState link;
    ChannelHistory channels;
    MainChannelState main;
    // The main channel's display limits, what "+OL" and "-OL" stand for: applyDisplayLimits().
    Measurement::DisplayLimits limits;

    // RecordingControl, OpenRecord and the session's start-up
    ResetPending resetPending = ResetPending::Idle;
    bool selectorRebuild = false; // the Setup dialog is rewriting the channel selector

    // the frame SampleRecorder (or RecordRecovery, replaying a journal) is processing
    ChannelReading reading;

    // per-channel flags back to their state at the start of a record; no main channel awaited
    void clearChannels();
    // The main channel's display limits for its function and prefix (set_OL); a function and
    // prefix without limits leave them as they are.
    void applyDisplayLimits();
};
