// Feeds arbitrary bytes, split into arbitrary chunks, to a recording session: the frame
// decoder and everything it drives (record, statistics, alarm, channel selection, record
// restarts) must survive any byte stream. The first input byte seeds the chunk sizes.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "common/AppPaths.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "link/SerialControl.h"
#include "recording/RecordingControl.h"
#include "settings/SettingsStore.h"
#include "shell/Session.h"
#include "shell/WindowHooks.h"

namespace
{

// A port fed by hand. The receiver on it talks all the time, so a probe that opens it finds
// a frame waiting at once.
class StubSerial final : public SerialControl
{
public:
    void feed(const QByteArray &bytes)
    {
        if (!m_open) return;
        m_buffer += bytes;
        m_event = ReceiveEvent;
        if (m_threshold > 0 && m_buffer.size() >= m_threshold) Q_EMIT onComm();
    }

    void setCommPort(int portNumber) override { m_port = portNumber; }
    int commPort() const override { return m_port; }
    void setSettings(const QString &) override {}
    void setHandshaking(int) override {}
    void setInputMode(int) override {}
    void setInBufferSize(int) override {}
    void setRThreshold(int bytes) override { m_threshold = bytes; }
    int rThreshold() const override { return m_threshold; }
    OpenResult open() override
    {
        m_open = true;
        m_buffer += QByteArray::fromHex("fe0000000000");
        return OpenResult::Opened;
    }
    void close() override
    {
        m_open = false;
        m_buffer.clear();
    }
    bool isOpen() const override { return m_open; }
    QString lastOpenError() const override { return {}; }
    void setInputLen(int bytes) override { m_inputLen = bytes; }
    QByteArray input() override
    {
        const qsizetype count =
            m_inputLen > 0 ? std::min<qsizetype>(m_inputLen, m_buffer.size()) : m_buffer.size();
        const QByteArray bytes = m_buffer.left(count);
        m_buffer.remove(0, count);
        return bytes;
    }
    int inBufferCount() override { return int(m_buffer.size()); }
    void clearInput() override { m_buffer.clear(); }
    int commEvent() const override { return m_event; }

private:
    QByteArray m_buffer;
    int m_port = 1;
    int m_threshold = 0;
    int m_inputLen = 0;
    int m_event = 0;
    bool m_open = false;
};

// Time passes only while the program waits.
class StubClock final : public Clock
{
public:
    qint64 tickMs() const override { return m_tick; }
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 15), QTime(9, 30)).addMSecs(m_tick); }
    void sleepMs(int ms) override { m_tick += std::max(ms, 1); }
    void processEvents() override { ++m_tick; }

private:
    qint64 m_tick = 1000;
};

class StubPrompts final : public Prompts
{
public:
    Answer message(const QString &, const QString &, Buttons buttons, Icon) override
    {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

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
    StubSerial serial;
    StubClock clock;
    StubPrompts prompts;
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
