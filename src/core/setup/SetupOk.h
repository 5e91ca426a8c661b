#pragma once
#include <QStringList>
#include <array>
#include <optional>

#include "core/common/ChannelCount.h"
#include "core/power/PowerInputs.h"
#include "core/setup/AlarmPart.h"
#include "core/setup/SetupValues.h"
#include "core/setup/TimeAxis.h"

// What the rest of the program looks like when the Setup dialog's OK is pressed.
struct SetupOkContext {
    bool recording = false; // the recording command carries its check mark
    int mainFunction = -1;
    bool alarmActive = false; // the alarm sounds
    AlarmLimits::Units units; // the dialog's alarm unit list (Combo2) as it stands
    TimeAxis::GraphState graph;
    QStringList channelList;  // the monitor's channel list entries ("1_Ch1", ...)
    int selectedChannel = -1; // 0..5, the channel of the monitor's current selection
    bool powerCommandChecked = false;
};

struct ChannelDisplays {
    QString serialNumber; // monitor Label17(0)
    QString place;        // monitor Label17(1)
};

// The effects of OK, to be carried out in this order:
//  1. `alarm`: the shared alarm flags (alarmEnabled, clearing alarmActive) and the monitor's
//     alarm images, limits and units;
//  2. `timeAxis`: the settings' time-axis factor, then the graph frame redraw (RE_display),
//     then each page box text in turn (each runs the page box rule);
//  3. `values`: all 33 setup keys saved, and the settings updated from them;
//  4. `tableHeader`: the table's row 0, columns 3, 6, 9, 12, 15, 18;
//  5. `channelList`: the monitor's channel list entries rewritten with the selection kept,
//     under the selector-rebuild flag so the monitor does not take it for a user's choice;
//  6. `monitorChannel`: the monitor's serial number and place displays;
//  7. `powerLabels`: the power cost window's values 0..5 (PowerCostMonitor::showChannelAndRates);
//  8. the dialog closes.
struct SetupOkPlan {
    SetupValues values;
    AlarmApplication alarm;
    TimeAxis::Change timeAxis;
    std::array<QString, ChannelCount> tableHeader;
    QStringList channelList;
    std::optional<ChannelDisplays> monitorChannel;
    struct PowerLabels {
        PowerChannel channel;
        PowerRates rates;
    };
    std::optional<PowerLabels> powerLabels;
};

// `dialog` holds the dialog's values as shown (port button, Hi/Low choice, limits, ...).
SetupOkPlan planSetupOk(const SetupValues &dialog, const SetupOkContext &context);

// A monitor channel list entry: the channel number 1..6, "_" and the channel's name ("2_Ch2").
QString channelListEntry(int channel, const QString &name);
// The channel 0..5 of an entry, from its first character; -1 when it names none.
int channelOfListEntry(const QString &entry);
