#include "core/recording/JournalWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>

#include "core/common/AppPaths.h"
#include "core/common/ChannelCount.h"
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

// The system's reason for the last failed call, else what the file says.
QString reasonOf(int error, const QFile &file)
{
    if (error != 0) return qt_error_string(error);
    return file.errorString();
}

bool syncToDisk(QFile &file, QString *reason)
{
    errno = 0;
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced) *reason = reasonOf(errno, file);
    return synced;
}

} // namespace

struct JournalWriter::Journal {
    Journal(const QString &journalPath, const QString &fileName, const QString &recordStamp)
        : path(journalPath), recordFileName(fileName), stamp(recordStamp), file(journalPath)
    {
        takeLock();
    }
    ~Journal()
    {
        QString ignored;
        if (file.isOpen()) syncToDisk(file, &ignored);
    }
    void takeLock()
    {
        lock = std::make_unique<QLockFile>(lockPath(path));
        lock->setStaleLockTime(0); // a lock is stale only when its program is gone, whatever its age
        lock->tryLock(0);          // a journal is kept whether or not its lock could be taken
    }
    void remove()
    {
        file.close();
        QFile::remove(path);
        lock->unlock();
    }
    bool wholeOnDisk() const { return adopted || onDisk == bytes.size(); }

    QString path;
    QString recordFileName; // "yymmdd_hhnnss.xlsx"
    QString stamp;
    QFile file;
    std::unique_ptr<QLockFile> lock;
    int samples = 0;
    QByteArray bytes;     // all the journal holds, so that it can be written again elsewhere, whole
    qsizetype onDisk = 0; // how much of `bytes` the file holds
    bool open = true;     // takes the samples of its record
    bool adopted = false; // a journal a previous run left, whole on disk and never written here
    bool failed = false;  // the failure was told
    bool keep = false;    // survives its record being dropped
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
    if (writing()) m_current->bytes += m_buffer;
    QString ignored;
    for (auto &journal : m_awaitingSave)
        if (!journal->wholeOnDisk()) persist(*journal, &ignored);
    if (m_current && !m_current->wholeOnDisk()) persist(*m_current, &ignored);
}

QStringList JournalWriter::folders() const
{
    QStringList out{AppPaths::recordsFolder()};
    const QString fallback = m_fallbackFolder ? m_fallbackFolder() : QString();
    if (!fallback.isEmpty() &&
        QFileInfo(fallback).absoluteFilePath() != QFileInfo(out.first()).absoluteFilePath())
        out << fallback;
    return out;
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
    lock.setStaleLockTime(0); // see Journal::takeLock()
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

void JournalWriter::removeAbandonedLocks() const
{
    const QString pattern =
        QStringLiteral("*") + QLatin1String(RecordJournal::Suffix) + QStringLiteral(".lock");
    for (const QString &folder : folders()) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({pattern}, QDir::Files | QDir::Hidden)) {
            QLockFile lock(dir.filePath(name));
            lock.setStaleLockTime(0);           // see Journal::takeLock()
            if (lock.tryLock(0)) lock.unlock(); // taken from a program that is gone, and removed
        }
    }
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
    m_current = std::make_unique<Journal>(freeJournalPath(folder, stamp),
                                          RecordStore::fileNameForStamp(stamp), stamp);
    m_buffer.resize(0);
    for (auto &captions : m_captions)
        captions.fill({});
    RecordJournal::appendHeader(m_buffer, stamp);
    writeChannelNames();
    // The file is written at once, so that a folder that cannot take it is known from the start.
    flush();
}

bool JournalWriter::writing() const
{
    return m_current && m_current->open;
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
    std::array<QString, ChannelCount> names;
    for (int k = 0; k < ChannelCount; ++k)
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
    Journal &journal = *m_current;
    journal.bytes += m_buffer;
    m_buffer.resize(0);                          // keeps the buffer's memory for the next burst
    if (!journal.failed) secure(journal, false); // a failed one is tried again at Pause and Stop
}

// Writes what the file lacks. A file opened anew holds a beginning of the journal (bytes are only
// ever appended): the rest is written after it, so that a disk still short of space loses nothing.
bool JournalWriter::persist(Journal &journal, QString *reason)
{
    if (journal.adopted) return true;
    if (!journal.file.isOpen()) {
        // A folder that cannot be made is the cause to tell, not the file missing in it.
        if (!makeFolder(QFileInfo(journal.path).absolutePath(), reason)) return false;
        if (!journal.file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            *reason = journal.file.errorString();
            return false;
        }
        const qint64 size = journal.file.size();
        journal.onDisk = size <= journal.bytes.size() ? size : 0;
        if (!journal.file.resize(journal.onDisk) || !journal.file.seek(journal.onDisk)) {
            *reason = journal.file.errorString();
            journal.file.close();
            return false;
        }
    }
    const qint64 rest = journal.bytes.size() - journal.onDisk;
    if (rest == 0) return true;
    errno = 0;
    const qint64 written = journal.file.write(journal.bytes.constData() + journal.onDisk, rest);
    const int error = errno;
    if (written == rest) {
        journal.onDisk = journal.bytes.size();
        return true;
    }
    *reason = reasonOf(error, journal.file);
    journal.file.close();
    return false;
}

// The journal, whole, into the fallback folder; the copy that could not be completed goes.
bool JournalWriter::moveToFallback(Journal &journal, QString *reason)
{
    const QStringList kept = folders();
    if (kept.size() < 2 || QFileInfo(journal.path).absolutePath() == QFileInfo(kept.at(1)).absoluteFilePath())
        return false;
    const QString oldPath = journal.path;
    std::unique_ptr<QLockFile> oldLock = std::move(journal.lock);
    journal.file.close();
    journal.path = freeJournalPath(kept.at(1), journal.stamp);
    journal.file.setFileName(journal.path);
    journal.takeLock();
    QString cause;
    if (persist(journal, &cause) && syncToDisk(journal.file, &cause)) {
        QFile::remove(oldPath);
        oldLock->unlock();
        return true;
    }
    *reason = QDir::toNativeSeparators(journal.path) + QStringLiteral(": ") + cause;
    journal.file.close();
    QFile::remove(journal.path);
    journal.lock->unlock();
    journal.path = oldPath;
    journal.file.setFileName(oldPath);
    journal.lock = std::move(oldLock);
    return false;
}

// Everything on disk and synced, in the records folder or else the fallback folder.
bool JournalWriter::secure(Journal &journal, bool sync)
{
    QString reason;
    if (persist(journal, &reason) && (!sync || journal.adopted || syncToDisk(journal.file, &reason)))
        return true;
    QString second;
    if (moveToFallback(journal, &second)) return true;
    fail(journal, second.isEmpty() ? reason : reason + QStringLiteral("; ") + second);
    return false;
}

void JournalWriter::sync()
{
    flush();
    if (writing()) secure(*m_current, true);
}

// The record takes no more samples: its journal is complete. One that holds no sample goes.
void JournalWriter::close()
{
    if (!writing()) return;
    sync();
    m_current->open = false;
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

void JournalWriter::fail(Journal &journal, const QString &reason)
{
    journal.file.close();
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
    if (!m_current) return;
    if (!m_current->keep) {
        dropCurrent();
        return;
    }
    // Kept for the next start to recover: written through, and let go of.
    close();
    m_current.reset();
    m_buffer.resize(0);
    m_flushTimer.stop();
}

void JournalWriter::adopt(const QString &path, const QString &recordFileName)
{
    retireCurrent();
    m_current = std::make_unique<Journal>(path, recordFileName, QString());
    m_current->open = false;
    m_current->adopted = true;
}

// An earlier record first, as for a save: records begun in the same second share a name.
JournalWriter::Journal *JournalWriter::journalFor(const QString &recordFileName)
{
    const QString name = recordFileName.trimmed();
    for (auto &journal : m_awaitingSave)
        if (journal->recordFileName == name) return journal.get();
    if (m_current && m_current->recordFileName == name) return m_current.get();
    return nullptr;
}

QString JournalWriter::keepForRecovery(const QString &recordFileName)
{
    return keep(journalFor(recordFileName));
}

QString JournalWriter::keep(Journal *journal)
{
    if (!journal) return {};
    journal->keep = true;
    if (journal == m_current.get() && writing()) {
        flush();
        secure(*journal, true);
    } else if (!journal->wholeOnDisk()) {
        secure(*journal, true);
    }
    return journal->wholeOnDisk() ? journal->path : QString();
}

QString JournalWriter::keepCurrentForRecovery()
{
    return keep(m_current.get());
}
