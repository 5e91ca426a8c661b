#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

#include "core/graph/PageExtremes.h"

// The texts the monitor window shows. The sample recorder, the statistics, the alarm and the
// recording control write them; the window only renders them (and calls selectEntry()
// when the user picks a channel). The alarm decides on the reading and its setup's limits, never
// on these texts.
class MonitorFields : public QObject
{
    Q_OBJECT
public:
    explicit MonitorFields(QObject *parent = nullptr);

    // A value text with its unit.
    struct ShownValue {
        QString value;
        QString unit;
    };
    // The receiver's reporting interval, two digits each.
    struct Interval {
        QString minutes;
        QString seconds;
    };
    // The alarm's limits as typed, each with the alarm unit: while the alarm is armed the
    // active one carries the limit, the other "-" and no unit.
    struct AlarmLimitTexts {
        QString high;
        QString highUnit;
        QString low;
        QString lowUnit;
    };

    QString bigValue;  // the main channel's value text, "-????.?" before any
    QString bigUnit;   // its prefix and unit, "??" before any
    Interval interval; // "-" before any frame
    AlarmLimitTexts alarmLimits;
    QString file;
    QString receivedChannels;
    QStringList channelEntries; // the channel selector's entries, "1_Ch1" ...
    int channelIndex = -1;      // the selected entry
    QString type;               // the main channel's function name
    QString serialNumber;
    QString place;
    bool armedImageVisible = false;
    bool soundingImageVisible = false;
    // The main channel's statistics, "-" and no unit before any.
    ShownValue average;
    ShownExtreme maximum;
    ShownExtreme minimum;
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
