#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "core/common/ChannelCount.h"
#include "core/recording/RecordingStatus.h"
#include "core/recording/SampleJournal.h"

class Clock;
class Prompts;
class RecordStore;

// Keeps the journal of the open record (RecordJournal's format) in the records folder, so that
// a crash loses at most the last moments of a record. Samples are kept in memory and written
// in bursts, at least every FlushIntervalMs; Pause, Stop and the start of the next record force
// the journal to disk. A journal goes when its record is saved as a workbook or dropped on
// purpose; a record that is still taking samples keeps it even when saved, since what comes
// after the save is in no workbook. A records folder that refuses the journal (full, read-only)
// sends it whole to the fallback folder; where neither takes it, that is reported once with the
// system's reason, the journal is kept in memory and written again at each Pause and Stop.
// Each journal is locked while this program keeps it, so that another one started meanwhile
// leaves it alone.
class JournalWriter final : public QObject, public SampleJournal
{
    Q_OBJECT
public:
    struct Collaborators {
        const RecordStore &record;
        const RecordingStatus &status;
        const Clock &clock;
        Prompts &prompts;
    };
    static constexpr int FlushIntervalMs = 500;

    explicit JournalWriter(const Collaborators &collaborators, QObject *parent = nullptr);
    ~JournalWriter() override;

    // A new record was stamped: the previous record's journal is closed (and kept until that
    // record is saved or dropped) and the new record's begins.
    void recordStarted();
    // A record was saved as a workbook; `recordFileName` is its "yymmdd_hhnnss.xlsx".
    void recordSaved(const QString &recordFileName);
    // The record in the table was dropped on purpose.
    void recordDiscarded();
    // The record in the table was rebuilt from the journal at `path`, which now stands for it.
    void adopt(const QString &path, const QString &recordFileName);

    void sampleRecorded(int channel, int row, int divisor) override;

    // Where a journal goes when the records folder cannot take it (the automatic save's fallback).
    void setFallbackFolder(std::function<QString()> folder) { m_fallbackFolder = std::move(folder); }
    // The folders journals are kept in: the records folder, then the fallback folder.
    QStringList folders() const;
    // The record named `recordFileName` could not be saved where it was meant to go: its journal is
    // written through again and survives when the record is dropped (an unattended No, a closing
    // program). Returns the journal's path, empty when there is none on disk.
    QString keepForRecovery(const QString &recordFileName);
    // The same for the record in the table, whatever its name (a signal ends the program).
    QString keepCurrentForRecovery();

    // Removes the journals' locks in folders() that no living program holds: a program killed
    // before its journal's first write leaves one, which would claim the journal's name for ever.
    void removeAbandonedLocks() const;

    // The journal of the record in the table; empty when it has none.
    QString currentPath() const;
    // Another running program keeps the journal at `path`.
    static bool inUseElsewhere(const QString &path);
    static QString writeFailedText(const QString &path, const QString &reason);

private:
    struct Journal;

    void openJournal();
    bool persist(Journal &journal, QString *reason);
    bool moveToFallback(Journal &journal, QString *reason);
    Journal *journalFor(const QString &recordFileName);
    QString keep(Journal *journal);
    void retireCurrent();
    void followMode(RecordingMode mode);
    void writeChannelNames();
    void writeCaptions(int channel);
    void flush();
    void sync();
    bool secure(Journal &journal, bool sync);
    void close();
    void fail(Journal &journal, const QString &reason);
    void dropCurrent();
    bool writing() const; // the record in the table is open for samples

    Collaborators m_;
    std::unique_ptr<Journal> m_current;
    // Closed journals of earlier records whose saves have not been reported yet.
    std::vector<std::unique_ptr<Journal>> m_awaitingSave;
    QByteArray m_buffer;
    std::function<QString()> m_fallbackFolder;
    QTimer m_flushTimer;
    qint64 m_lastFlushTick = 0;
    bool m_namesChanged = false;
    // The captions as the current journal has them last.
    std::array<std::array<QString, 3>, ChannelCount> m_captions;
};
