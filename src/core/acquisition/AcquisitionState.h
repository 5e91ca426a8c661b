#pragma once
#include <QString>
#include <QTime>
#include <array>

#include "core/common/ChannelCount.h"

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

// What the program knows about the link, the channels and the main channel. One instance,
// created by the session and handed to the rules that read or write it.
struct AcquisitionState {
    // link
    bool linkUp = false;
    qint16 selectedPort = 0;

    ResetPending resetPending = ResetPending::Idle;
    bool selectorRebuild = false; // the Setup dialog is rewriting the channel selector
    qint16 timeoutTicks = 0;      // seconds since the last frame header

    // per channel
    std::array<bool, ChannelCount> channelPresent{};
    std::array<QString, ChannelCount> channelUnit;
    std::array<qint16, ChannelCount> currentPrefix{};
    std::array<qint16, ChannelCount> previousPrefix{};
    std::array<bool, ChannelCount> prefixChanged{};
    std::array<bool, ChannelCount> rangeMixed{};
    std::array<bool, ChannelCount> skipStats{};

    // main channel
    qint16 mainChannel = 0;
    qint16 mainFunction = 0;
    qint16 mainPrefix = 0;
    bool mainRangeChanged = false;
    qint32 mainRowCount = 0;
    double upperLimit = 0;
    double lowerLimit = 0;
    bool alarmEnabled = false;
    bool alarmActive = false;
    bool powerRunning = false;
    // The main channel of a record split off automatically, until it reports in the record that
    // followed (and becomes its main channel again) or `keptMainUntilMs` (a clock tick) passes;
    // -1 when none is awaited.
    qint16 keptMainChannel = -1;
    qint64 keptMainUntilMs = 0;

    ChannelReading reading;

    // per-channel flags back to their state at the start of a record; no main channel awaited
    void clearChannels();
    // The main channel's display limits for its function and prefix (set_OL); a function and
    // prefix without limits leave them as they are.
    void applyDisplayLimits();
};
