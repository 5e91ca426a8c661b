#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <limits>
#include <vector>

class RecordStore;
class RecordingControl;

// What --record, --duration, --output and --quit ask for: press Start once the window is up,
// Stop after so many seconds of recording, write the record, and end the program.
class UnattendedRun : public QObject
{
    Q_OBJECT
public:
    struct Plan {
        bool record = false;
        int durationSeconds = 0; // 0 = until the user stops
        QString outputPath;      // empty = write nothing
        bool quit = false;
    };
    enum ExitCode { Success = 0, NoRecording = 1, OutputFailed = 2 };
    static constexpr int MaxDurationSeconds = std::numeric_limits<int>::max() / 1000;

    UnattendedRun(RecordingControl &recording, const RecordStore &record, const Plan &plan,
                  QObject *parent = nullptr);

    // Checks the plan before anything runs; an empty text means it is fine.
    static QString checkPlan(const Plan &plan);

    void begin(); // call once the event loop runs

    // Another file written after Stop, after the record: `write` returns "" or what went wrong;
    // `what` names it in the report ("graph printed").
    void addOutput(const QString &what, const QString &path, std::function<QString()> write);

Q_SIGNALS:
    // The run is done; with quit, the program should end with this code.
    void finished(int exitCode);

private:
    void stopAndFinish();
    int writeOutput();
    int writeRecord();

    RecordingControl &m_recording;
    const RecordStore &m_record;
    Plan m_plan;
    QTimer m_stopTimer;
    struct Output {
        QString what;
        QString path;
        std::function<QString()> write;
    };
    std::vector<Output> m_outputs;
};
