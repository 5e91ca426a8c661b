#pragma once
#include <QObject>
#include <QString>

#include "core/record/RecordJournal.h"

struct AcquisitionState;
class JournalWriter;
class MonitorFields;
class Prompts;
class RecordReset;
class RecordSaver;
class RecordStore;
class Statistics;

// At start-up, before anything is recorded: every journal a previous run left in the records
// folder (or the fallback folder) is a record that was never saved. Each is offered in turn, oldest first;
// Yes rebuilds it in the table as a stopped, unsaved record (with its statistics, taken again from its
// samples) and saves it at once as the automatic save does, No sets the journal aside as "<name>.discarded".
// A journal without a sample just goes; one of another program or version, or one that a running program
// keeps, is left alone.
class RecordRecovery : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        RecordStore &record;
        MonitorFields &monitor;
        Statistics &statistics;
        AcquisitionState &state;
        RecordReset &reset;
        RecordSaver &saver;
        JournalWriter &journal;
        Prompts &prompts;
    };
    // Unattended runs recover without asking.
    enum class Asking { Ask, DoNotAsk };

    explicit RecordRecovery(const Collaborators &collaborators, QObject *parent = nullptr);

    // Stops at the first record that cannot be saved: it stays in the table, its journal and
    // those after it wait for the next start.
    void recoverAll(Asking asking);

    static QString questionText(const QString &recordFileName);
    static QString saveFailedText(const QString &recordFileName, const QString &reason);

Q_SIGNALS:
    // A recovered record is in the table (the windows may show it).
    void recordRebuilt();
    // ... and was written and closed as `savedPath`.
    void recordRecovered(const QString &savedPath);
    // ... but could not be saved: it stays in the table and its journal stays.
    void recoveryFailed(const QString &recordFileName);

private:
    bool recover(const QString &path, const RecordJournal::Content &content);
    void restoreStatistics(const RecordJournal::Content &content);
    void showInMonitor(const RecordJournal::Content &content);

    Collaborators m_;
};
