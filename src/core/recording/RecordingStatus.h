#pragma once
#include <QObject>

// Where the recording stands. Start checks "Start" at once (Linking) and the menus follow
// only once the port is open (Recording); Stop checks "Stop" at once (Stopping) and the
// menus follow once the port is closed (Stopped).
enum class RecordingMode { Idle, Linking, Recording, Paused, Stopping, Stopped };

// The recording state, owned by the recording control; the command state derives the check
// marks and enable states of menus and toolbar from it. `linked` is what Connect shows: the
// receiver was found and its link not dropped since.
class RecordingStatus : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    RecordingMode mode() const { return m_mode; }
    bool running() const { return m_mode == RecordingMode::Linking || m_mode == RecordingMode::Recording; }
    bool paused() const { return m_mode == RecordingMode::Paused; }
    bool stopped() const { return m_mode == RecordingMode::Stopping || m_mode == RecordingMode::Stopped; }
    bool linked() const { return m_linked; }

    void setMode(RecordingMode mode)
    {
        if (mode == m_mode) return;
        m_mode = mode;
        Q_EMIT modeChanged(mode);
    }
    void setLinked(bool linked)
    {
        if (linked == m_linked) return;
        m_linked = linked;
        Q_EMIT linkedChanged(linked);
    }

Q_SIGNALS:
    void modeChanged(RecordingMode mode);
    void linkedChanged(bool linked);

private:
    RecordingMode m_mode = RecordingMode::Idle;
    bool m_linked = false;
};
