#pragma once
#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include "core/link/SerialControl.h"

struct AcquisitionState;
struct Settings;
class Clock;
class Prompts;

// Finds the receiver: on the configured port (three tries) or by scanning COM1..COM16 three
// times. A port is the receiver's when six bytes arrive within about a second of opening it.
// A successful link leaves the port closed with the receive threshold set, for the recording
// to open. The scan window listens to scanShown/progressMoved/scanClosed.
class LinkProber : public QObject
{
    Q_OBJECT
public:
    static constexpr int ProbeSleepMs = 100;
    static constexpr int ProbeWaitMs = 1000;
    static constexpr int AnswerBytes = 6;
    static constexpr int TriesOnPort = 3;
    static constexpr int ScanPasses = 3;
    static constexpr int ScanPorts = 16;
    static constexpr int ReceiveThreshold = 6;
    // The scan window's moving label, left edge in twips.
    static constexpr int LabelStartTwips = 1080;
    static constexpr int LabelStepTwips = 80;
    static constexpr int LabelWrapTwips = 2100;
    static constexpr int LabelRestartTwips = 1000;

    static QString lineSettings() { return QStringLiteral("9600,n,8,1"); }
    static QString linkErrorText()
    {
        return QCoreApplication::translate("LinkProber", "Link error ! Please check your connector.");
    }

    struct Collaborators {
        SerialControl &serial;
        Clock &clock;
        Prompts &prompts;
        AcquisitionState &state; // link.up and the configured port
        const Settings &settings;
    };
    explicit LinkProber(Collaborators collaborators, QObject *parent = nullptr);

    // `link_on`: probes the configured port or, with auto-scan on, scans. Outcome in link.up;
    // a failure has been reported to the user.
    void linkOn();
    // `com_search_mode0`: the port scan.
    void scan();
    // Stop or Pause was given: a scan under way ends silently at its next port. One given
    // before the scan began (a Stop's mark stays until the next Start) ends none.
    void stopGiven()
    {
        if (m_probing) m_stopGiven = true;
    }

    // What the link error adds when the link failed on ports that other programs hold.
    static QString portsInUseText(const QStringList &ports);

    // The program is closing: a probe or scan under way ends at the next wait without a
    // message, and none starts any more.
    void abandon() { m_abandoned = true; }

    bool isProbing() const { return m_probing; }
    int labelLeft() const { return m_labelLeft; }

Q_SIGNALS:
    void scanShown();
    void progressMoved(int labelLeftTwips);
    void scanClosed();

private:
    enum class Probe { Answered, Silent, Missing };

    void prepareControl();
    void beginAttempt();
    Probe probeCurrentPort();
    bool waitForAnswer();
    void tellWhyNotOpened();
    void showLinkError(const QString &port); // empty after a scan of every port
    bool scanAbandoned() const;
    void moveLabel(int left);

    Collaborators m_;
    int m_labelLeft = LabelStartTwips;
    bool m_probing = false;
    bool m_permissionTold = false;
    bool m_abandoned = false;
    bool m_stopGiven = false;
    QStringList m_portsInUse; // of the current probe or scan, as the user knows them
};
