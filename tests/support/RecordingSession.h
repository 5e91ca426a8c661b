#pragma once
#include <QByteArray>
#include <QTemporaryDir>
#include <functional>

#include "core/common/WindowHooks.h"
#include "core/session/Session.h"
#include "core/settings/SettingsStore.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"

// A whole session on hand-fed seams: the receiver answers on fake port 1, the clock moves only
// when told, questions are scripted, the settings store and the records folder live in a
// temporary folder, and automatic saves are counted instead of written.
class RecordingSession
{
public:
    RecordingSession();
    ~RecordingSession();
    RecordingSession(const RecordingSession &) = delete;
    RecordingSession &operator=(const RecordingSession &) = delete;

    // Start as the user gives it: links on the fake port and begins a new record.
    void start();
    // Bytes arrive at the port; the receive event runs the decoder.
    void feed(const QByteArray &bytes) { serial.feed(bytes); }

    int autoSaves() const { return m_saver.autoSaves; }
    int saveCommands() const { return m_saver.saveCommands; }
    // Runs at each automatic save, while the record being saved is still in the store.
    void setOnAutoSave(std::function<void()> hook) { m_saver.onSave = std::move(hook); }
    // Runs at each Save Data command, which then succeeds.
    void setOnSaveCommand(std::function<void()> hook) { m_saver.onSaveCommand = std::move(hook); }

private:
    struct CountingSaver final : RecordSaver {
        bool autoSave(QString *) override
        {
            ++autoSaves;
            if (onSave) onSave();
            return true;
        }
        bool saveDataCommand() override
        {
            ++saveCommands;
            if (onSaveCommand) onSaveCommand();
            return true;
        }
        int autoSaves = 0;
        int saveCommands = 0;
        std::function<void()> onSave;
        std::function<void()> onSaveCommand;
    };

    QTemporaryDir m_folder;

public:
    SettingsStore store;
    FakeSerialControl serial;
    ManualClock clock;
    ScriptedPrompts prompts;
    Session session;

private:
    CountingSaver m_saver;
};
