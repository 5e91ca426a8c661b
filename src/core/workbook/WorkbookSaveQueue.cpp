#include "core/workbook/WorkbookSaveQueue.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "core/workbook/StagedFile.h"

WorkbookSaveQueue::WorkbookSaveQueue(Writer writer, std::function<void(const Outcome &)> finished)
    : m_writer(std::move(writer)), m_finished(std::move(finished))
{
}

WorkbookSaveQueue::~WorkbookSaveQueue()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread) m_thread->wait();
}

void WorkbookSaveQueue::setWriter(Writer writer)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_writer = std::move(writer);
}

void WorkbookSaveQueue::add(Job job)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_unfinished < MaxJobs; });
        m_jobs.push_back(std::move(job));
        ++m_unfinished;
    }
    m_changed.notify_all();
    if (!m_thread) {
        m_thread.reset(QThread::create([this] { work(); }));
        m_thread->start();
    }
}

void WorkbookSaveQueue::waitForAll()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_unfinished == 0; });
    }
    handBack();
}

void WorkbookSaveQueue::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // Jobs still waiting are written even when the queue closes: they hold the only copy.
        m_changed.wait(lock, [this] { return m_closing || !m_jobs.empty(); });
        if (m_jobs.empty()) return;
        Outcome outcome;
        {
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            const Writer writer = m_writer;
            lock.unlock();
            outcome = run(job, writer);
        } // the record's memory is given back here, before the job counts as done
        lock.lock();
        m_outcomes.push_back(std::move(outcome));
        --m_unfinished;
        m_changed.notify_all();
        QMetaObject::invokeMethod(
            &m_receiver, [this] { handBack(); }, Qt::QueuedConnection);
    }
}

WorkbookSaveQueue::Outcome WorkbookSaveQueue::run(Job &job, const Writer &writer)
{
    Outcome outcome{job.recordFileName, {}, job.failures};
    QString reason;
    if (writer(job.record, *job.file, &reason)) {
        outcome.path = job.file->targetPath();
        return outcome;
    }
    outcome.failures << reason;
    if (job.fallbackPath.isEmpty()) return outcome;
    QDir().mkpath(QFileInfo(job.fallbackPath).absolutePath());
    StagedFile fallback(job.fallbackPath, StagedFile::Existing::TakeNextName);
    if (!fallback.create(&reason)) {
        outcome.failures << QDir::toNativeSeparators(job.fallbackPath) + QStringLiteral(": ") + reason;
        return outcome;
    }
    if (!writer(job.record, fallback, &reason)) {
        outcome.failures << reason;
        return outcome;
    }
    outcome.path = fallback.targetPath();
    return outcome;
}

void WorkbookSaveQueue::handBack()
{
    // One at a time: what runs for an outcome may let events run, and with them this again.
    for (;;) {
        Outcome outcome;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_outcomes.empty()) return;
            outcome = std::move(m_outcomes.front());
            m_outcomes.pop_front();
        }
        m_finished(outcome);
    }
}
