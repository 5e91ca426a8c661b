// Feeds arbitrary bytes, split into arbitrary chunks, to a recording session: the frame
// decoder and everything it drives (record, statistics, alarm, channel selection, record
// restarts) must survive any byte stream. The first input byte seeds the chunk sizes.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/session/WindowHooks.h"
#include "core/settings/SettingsStore.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"

namespace
{

class NoSaver final : public RecordSaver
{
public:
    void autoSave() override {}
    void saveDataCommand() override {}
};

struct Environment {
    QTemporaryDir folder;
    QString settingsFile;
};

Environment &environment()
{
    static Environment env;
    return env;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static int appArgc = 1;
    static QCoreApplication app(appArgc, *argv);
    Q_UNUSED(argc);
    Environment &env = environment();
    env.settingsFile = env.folder.filePath(QStringLiteral("settings.ini"));
    AppPaths::setRecordsFolderOverride(env.folder.path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    // The receiver talks all the time: a probe finds a status frame waiting at once.
    FakeSerialControl serial;
    serial.setAnsweringPorts({1});
    serial.setAnswer(FrameEncoder::encodeStatus());
    // Time passes only while the program waits, a millisecond per event pass too, so the
    // settle waits of a restart stay short; questions are answered No.
    ManualClock clock;
    clock.setProcessEventsStep(1);
    ScriptedPrompts prompts;
    SettingsStore store(environment().settingsFile);
    NoSaver saver;
    {
        Session session(serial, clock, prompts, store);
        session.setRecordSaver(&saver);
        session.recording().setTimerRunsByItself(false);
        session.startUp();
        session.recording().run();

        quint32 seed = data[0];
        size_t at = 1;
        while (at < size) {
            seed = seed * 1103515245u + 12345u;
            const size_t chunk = std::min<size_t>(1 + (seed >> 16) % 13, size - at);
            serial.feed(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(chunk)));
            at += chunk;
        }
        session.setRecordSaver(nullptr);
    }
    return 0;
}
