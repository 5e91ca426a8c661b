#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <limits>
#include <vector>

class OpenRecord;
class RecordingControl;
class WorkbookSaver;

// What --open, --record, --duration, --output and --quit ask for: open a workbook, press
// Start once the window is up, Stop after so many seconds of recording, write the record (a
// workbook as Save Data writes it, or the table as CSV), and end the program.
class UnattendedRun : public QObject
{
    Q_OBJECT
public:
    struct Plan {
        bool record = false;
        int durationSeconds = 0; // 0 = until the user stops
        QString openPath;        // a workbook (.xlsx or .xls) to open first; empty = none
        QString outputPath;      // empty = write nothing
        bool quit = false;
    };
    enum ExitCode { Success = 0, NoRecording = 1, OutputFailed = 2, OpenFailed = 3 };
    static constexpr int MaxDurationSeconds = std::numeric_limits<int>::max() / 1000;

    UnattendedRun(RecordingControl &recording, OpenRecord &opener, WorkbookSaver &saver, const Plan &plan,
                  QObject *parent = nullptr);

    void begin(); // call once the event loop runs
    // SIGTERM or SIGHUP: the run ends as --quit ends it after Stop, whatever was asked: the record
    // and the other outputs are written and finished() tells the status the run earned.
    void closeBySignal();

    // Another file written after Stop, after the record: `write` returns "" or what went wrong;
    // `what` names it in the report ("graph printed").
    void addOutput(const QString &what, const QString &path, std::function<QString()> write);
    // A record left unsaved by the previous run was recovered into `savedPath`.
    void reportRecovered(const QString &savedPath);
    // A record could not be saved and is kept in its journal: the run ends with OutputFailed.
    void noteRecordKept(const QString &recordFileName);
    // When the record cannot be written to --output: keeps its journal for the next start and
    // returns the journal's path ("" when it has none).
    void setRecordKeeper(std::function<QString()> keep) { m_keepRecord = std::move(keep); }

Q_SIGNALS:
    // The run is done; with quit, or after closeBySignal(), the program should end with this code.
    void finished(int exitCode);

private:
    enum class Phase { NotBegun, Starting, Recording, Writing, Done };

    void stopAndFinish();
    void end(int exitCode);
    int writeOutput();
    int writeRecord();

    RecordingControl &m_recording;
    OpenRecord &m_opener;
    WorkbookSaver &m_saver;
    Plan m_plan;
    Phase m_phase = Phase::NotBegun;
    int m_exitCode = Success;
    bool m_closing = false; // a signal ends the run: finished() comes whatever --quit says
    QTimer m_stopTimer;
    struct Output {
        QString what;
        QString path;
        std::function<QString()> write;
    };
    std::vector<Output> m_outputs;
    std::function<QString()> m_keepRecord;
    QStringList m_keptRecords; // could not be saved, kept in their journals
};
