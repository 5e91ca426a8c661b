#include "core/recording/JournalWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/common/Files.h"
#include "core/common/Prompts.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace
{

constexpr int Channels = 6;
// A burst this large is written at once, whatever the time.
constexpr qsizetype BurstBytes = 64 * 1024;

QString lockPath(const QString &journalPath)
{
    return journalPath + QStringLiteral(".lock");
}

// "<stamp>.journal", or "<stamp>_2.journal" and on when records begun in the same second (a
// split) still keep theirs.
QString freeJournalPath(const QString &folder, const QString &stamp)
{
    const QDir dir(folder);
    const QString suffix = QLatin1String(RecordJournal::Suffix);
    return firstFreeName(
        [&](int n) -> QString {
            if (n == 1) return dir.filePath(stamp + suffix);
            return dir.filePath(stamp + QLatin1Char('_') + QString::number(n) + suffix);
        },
        [](const QString &path) { return QFileInfo::exists(path) || QFileInfo::exists(lockPath(path)); });
}

bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

} // namespace

struct JournalWriter::Journal {
    Journal(const QString &journalPath, const QString &fileName)
        : path(journalPath), recordFileName(fileName), file(journalPath), lock(lockPath(journalPath))
    {
        lock.setStaleLockTime(0); // a lock is stale only when its program is gone, whatever its age
        lock.tryLock(0);          // a journal is kept whether or not its lock could be taken
    }
    ~Journal()
    {
        if (file.isOpen()) syncToDisk(file);
    }
    void remove()
    {
        file.close();
        QFile::remove(path);
        lock.unlock();
    }

    QString path;
    QString recordFileName; // "yymmdd_hhnnss.xlsx"
    QFile file;
    QLockFile lock;
    int samples = 0;
    bool failed = false;
};

JournalWriter::JournalWriter(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &JournalWriter::flush);
    connect(&m_.status, &RecordingStatus::modeChanged, this, &JournalWriter::followMode);
    connect(&m_.record, &RecordStore::headerDataChanged, this, [this] { m_namesChanged = true; });
}

JournalWriter::~JournalWriter()
{
    // The record and its status may be gone already: only what waits in memory is written.
    if (writing() && !m_buffer.isEmpty()) m_current->file.write(m_buffer);
}

QString JournalWriter::writeFailedText(const QString &path, const QString &reason)
{
    return QStringLiteral("The journal %1 could not be written (%2). The recording goes on, but this "
                          "record cannot be recovered if Voltrix ends unexpectedly.")
        .arg(QDir::toNativeSeparators(path), reason);
}

bool JournalWriter::inUseElsewhere(const QString &path)
{
    QLockFile lock(lockPath(path));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

QString JournalWriter::currentPath() const
{
    return m_current ? m_current->path : QString();
}

void JournalWriter::recordStarted()
{
    retireCurrent();
    openJournal();
}

// Another record takes the table: the journal of the one there is kept until it is saved.
void JournalWriter::retireCurrent()
{
    if (!m_current) return;
    close();
    if (m_current) m_awaitingSave.push_back(std::move(m_current));
}

void JournalWriter::openJournal()
{
    const QString stamp = m_.record.stamp();
    const QString folder = AppPaths::recordsFolder();
    QDir().mkpath(folder);
    m_current =
        std::make_unique<Journal>(freeJournalPath(folder, stamp), RecordStore::fileNameForStamp(stamp));
    m_buffer.resize(0);
    for (auto &captions : m_captions)
        captions.fill({});
    if (!m_current->file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail(m_current->file.errorString());
        return;
    }
    RecordJournal::appendHeader(m_buffer, stamp);
    writeChannelNames();
    // The file is written at once, so that a folder that cannot take it is known from the start.
    flush();
}

bool JournalWriter::writing() const
{
    return m_current && m_current->file.isOpen();
}

void JournalWriter::sampleRecorded(int channel, int row, int divisor)
{
    if (!writing()) return;
    const RecordStore &record = m_.record;
    if (m_namesChanged) writeChannelNames();
    const std::array<QString, 3> &written = m_captions[std::size_t(channel)];
    const auto k = std::size_t(channel);
    if (record.functionCaption[k] != written[0] || record.prefixCaption[k] != written[1] ||
        record.divisorCaption[k] != written[2])
        writeCaptions(channel);
    // The sample that fills the newest row gave it its index and date.
    if (row == record.sampleRows())
        RecordJournal::appendRowOpened(m_buffer, row, record.cell(row, 0), record.cell(row, 1));
    RecordJournal::appendSample(m_buffer, channel, row, record.cell(row, RecordStore::timeColumn(channel)),
                                record.cell(row, RecordStore::valueColumn(channel)),
                                record.cell(row, RecordStore::unitColumn(channel)), divisor);
    ++m_current->samples;
    if (m_buffer.size() >= BurstBytes || m_.clock.tickMs() - m_lastFlushTick >= FlushIntervalMs)
        flush();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void JournalWriter::writeChannelNames()
{
    std::array<QString, Channels> names;
    for (int k = 0; k < Channels; ++k)
        names[std::size_t(k)] = m_.record.cell(0, RecordStore::valueColumn(k));
    RecordJournal::appendChannelNames(m_buffer, names);
    m_namesChanged = false;
}

void JournalWriter::writeCaptions(int channel)
{
    const auto k = std::size_t(channel);
    const RecordStore &record = m_.record;
    m_captions[k] = {record.functionCaption[k], record.prefixCaption[k], record.divisorCaption[k]};
    RecordJournal::appendCaptions(m_buffer, channel, m_captions[k][0], m_captions[k][1], m_captions[k][2]);
}

void JournalWriter::flush()
{
    m_flushTimer.stop();
    m_lastFlushTick = m_.clock.tickMs();
    if (!writing()) return;
    if (m_namesChanged) writeChannelNames();
    if (m_buffer.isEmpty()) return;
    const qint64 written = m_current->file.write(m_buffer);
    const bool complete = written == m_buffer.size();
    m_buffer.resize(0); // keeps the buffer's memory for the next burst
    if (!complete) fail(m_current->file.errorString());
}

void JournalWriter::sync()
{
    flush();
    if (writing() && !syncToDisk(m_current->file)) fail(qt_error_string());
}

// The record takes no more samples: its journal is complete. One that holds no sample goes.
void JournalWriter::close()
{
    if (!writing()) return;
    sync();
    if (!writing()) return;
    m_current->file.close();
    if (m_current->samples == 0) dropCurrent();
}

void JournalWriter::followMode(RecordingMode mode)
{
    if (mode == RecordingMode::Paused)
        sync();
    else if (mode == RecordingMode::Stopped)
        close();
}

void JournalWriter::fail(const QString &reason)
{
    Journal &journal = *m_current;
    journal.file.close();
    m_buffer.resize(0);
    if (journal.failed) return;
    journal.failed = true;
    // Told once the sample being recorded is done: a message box here would run the event loop
    // inside the receive cycle.
    const QString text = writeFailedText(journal.path, reason);
    QMetaObject::invokeMethod(
        this,
        [this, text] {
            m_.prompts.message(text, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        },
        Qt::QueuedConnection);
}

void JournalWriter::dropCurrent()
{
    m_current->remove();
    m_current.reset();
    m_buffer.resize(0);
    m_flushTimer.stop();
}

void JournalWriter::recordSaved(const QString &recordFileName)
{
    // An earlier record first: its save may complete after the next record has begun.
    for (auto it = m_awaitingSave.begin(); it != m_awaitingSave.end(); ++it) {
        if ((*it)->recordFileName != recordFileName) continue;
        (*it)->remove();
        m_awaitingSave.erase(it);
        return;
    }
    // The journal of a record still open for samples (recording or paused) stays.
    if (m_current && m_current->recordFileName == recordFileName && !writing()) dropCurrent();
}

void JournalWriter::recordDiscarded()
{
    if (m_current) dropCurrent();
}

void JournalWriter::adopt(const QString &path, const QString &recordFileName)
{
    retireCurrent();
    m_current = std::make_unique<Journal>(path, recordFileName);
}
