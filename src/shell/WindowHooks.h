#pragma once
#include <QString>

// Procedures of the graph and power cost windows that the decoder, the monitor and the
// recording control run. Those windows implement them; until then they do nothing.
class GraphHooks {
public:
    virtual ~GraphHooks() = default;
    virtual void dataAll() {}                       // plot the newest main-channel sample
    virtual void tickText() {}                      // vertical autoscale
    virtual void reDisplay() {}                     // redraw the frame
    virtual void setPageBox(const QString &) {}     // the page box, Text1(0)
};

class PowerHooks {
public:
    virtual ~PowerHooks() = default;
    virtual void powerCheck() {}
    virtual void powerRate() {}
    virtual void resetStart() {}                    // start time back to "not started"
};

// Saving the record as a workbook.
class RecordSaver {
public:
    virtual ~RecordSaver() = default;
    // Saves without a dialog (the record split and the function change).
    virtual void autoSave() = 0;
    // The Save Data command with its file dialog.
    virtual void saveDataCommand() = 0;
};
