#pragma once
#include <QObject>

class Session;

// Choosing the main channel from the monitor's channel list: the monitor, the display
// limits, the alarm and the graph follow the chosen channel, while recording and for a
// stopped or opened record alike.
class ChannelSelector : public QObject
{
    Q_OBJECT
public:
    explicit ChannelSelector(Session &session);

public Q_SLOTS:
    // Entry `index` of the monitor's channel list; ignored while the list is being rebuilt.
    void select(int index);

private:
    void showStoredRecord(int channel);
    void showRunningRecord(int channel);
    void setUpAlarm(int channel);
    void setLimits(const QString &unit);
    void followInGraph();

    Session &m_session;
};
