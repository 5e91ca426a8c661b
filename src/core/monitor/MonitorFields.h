#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

// The texts the monitor window shows. The sample recorder, the statistics, the alarm and the
// recording control write them; the window only renders them (and calls selectEntry()
// when the user picks a channel).
class MonitorFields : public QObject
{
    Q_OBJECT
public:
    explicit MonitorFields(QObject *parent = nullptr);

    QString bigValue;                  // Label1(0)
    QString bigUnit;                   // Label2(0)
    std::array<QString, 6> label8;     // interval min, sec; high, low limit; high, low unit
    QString file;                      // Label7
    QString receivedChannels;          // Label4
    QStringList channelEntries;        // Combo1 items, "1_Ch1" ...
    int channelIndex = -1;             // Combo1 selection
    QString type;                      // Label11
    QString serialNumber;              // Label17(0)
    QString place;                     // Label17(1)
    bool armedImageVisible = false;    // Image1(0)
    bool soundingImageVisible = false; // Image1(1)
    std::array<QString, 6> stats;      // Label15(0..5): avg, max, min values; their units
    std::array<QString, 3> statTimes;  // Label16(0..2): (none), max time, min time
    // The receiver's lost link: how long while the program waits for the port, then how long
    // it was lost in this record; empty for a record that never lost it.
    QString linkLoss;

    // back to the state of a new record
    void reset();
    // limit fields and images of a disarmed alarm
    void clearAlarmDisplay();
    // the channel selector emptied (a new record has seen no channel yet)
    void clearChannelList();

    // Writers call this after a batch of changes; views repaint once per notification.
    void notify() { Q_EMIT changed(); }
    // Entry `index` of the channel selector is chosen, by the user or by a new channel.
    void selectEntry(int index) { Q_EMIT entrySelected(index); }

Q_SIGNALS:
    void changed();
    // The user (or the decoder) selected an entry of the channel selector.
    void entrySelected(int index);
};
