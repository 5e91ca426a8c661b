#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "core/workbook/WorkbookRecord.h"

class QThread;
class StagedFile;

// Writes record workbooks on a thread of its own, one after the other, and hands each outcome
// back on the thread that made the queue, in the order the jobs came. A job whose staged file
// cannot be written goes to its second path instead. At most MaxJobs jobs wait or run at once:
// adding one more waits for the oldest to finish, which bounds the memory the records take.
class WorkbookSaveQueue
{
public:
    static constexpr int MaxJobs = 2;

    struct Job {
        QString recordFileName;
        WorkbookRecord record;
        std::unique_ptr<StagedFile> file; // created already in the folder that took it
        QString fallbackPath;             // where to write when `file` fails; "" = nowhere
        QStringList failures;             // earlier refusals, each naming its file
    };
    struct Outcome {
        QString recordFileName;
        QString path;         // the file written; "" when none could be
        QStringList failures; // why files could not be written, each naming its file
    };
    // Writes a record into its staged file; false with the reason, naming the file.
    using Writer = std::function<bool(const WorkbookRecord &, StagedFile &, QString *)>;

    // `finished` runs on the thread that made the queue, once for every job, when it is done.
    WorkbookSaveQueue(Writer writer, std::function<void(const Outcome &)> finished);
    // Waits for the jobs still waiting or running; outcomes not handed back by then are dropped.
    ~WorkbookSaveQueue();
    WorkbookSaveQueue(const WorkbookSaveQueue &) = delete;
    WorkbookSaveQueue &operator=(const WorkbookSaveQueue &) = delete;

    void add(Job job);
    // Waits until every job is done and hands back the outcomes not handed back yet.
    void waitForAll();

    void setWriter(Writer writer);

private:
    void work(); // the writing thread
    static Outcome run(Job &job, const Writer &writer);
    void handBack();

    Writer m_writer;
    std::function<void(const Outcome &)> m_finished;
    QObject m_receiver; // on the owner's thread: outcomes are posted to it
    std::unique_ptr<QThread> m_thread;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // waiting; the running one is not among them
    std::deque<Outcome> m_outcomes;
    int m_unfinished = 0; // waiting and running
    bool m_closing = false;
};
