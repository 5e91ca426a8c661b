#include "core/publish/StreamWriter.h"

#include <QCoreApplication>
#include <QTime>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace
{

QString droppedText(qint64 lines, const QString &when)
{
    return QCoreApplication::translate("StreamWriter", "stream: the reader fell behind: %1 lines dropped; %2")
        .arg(lines)
        .arg(when);
}

// False with errno when the descriptor takes no more.
bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

} // namespace

struct StreamWriter::Queue {
    int fd = -1;
    std::function<void(const QString &)> tell;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable finished;
    std::deque<QByteArray> lines;
    qsizetype bytes = 0;
    std::atomic<qint64> writing{0}; // lines taken for the write under way, not yet written
    qint64 dropped = 0;             // since the stream last caught up
    bool closing = false;
    bool done = false;      // the thread has nothing more to do
    bool abandoned = false; // the writer gave up waiting for the reader
};

bool StreamWriter::parseFormat(const QString &text, Format *format)
{
    if (text == QLatin1String("jsonl"))
        *format = Format::Jsonl;
    else if (text == QLatin1String("csv"))
        *format = Format::Csv;
    else
        return false;
    return true;
}

StreamWriter::StreamWriter(Format format, int fd, std::function<void(const QString &)> tell)
    : m_format(format), m_queue(std::make_shared<Queue>())
{
    m_queue->fd = fd;
    m_queue->tell = std::move(tell);
    if (m_format == Format::Csv) add(SampleFormat::csvHeader());
    m_thread = std::thread(&StreamWriter::write, m_queue);
}

StreamWriter::~StreamWriter()
{
    Queue &q = *m_queue;
    std::unique_lock<std::mutex> lock(q.mutex);
    q.closing = true;
    q.wake.notify_one();
    if (q.finished.wait_for(lock, std::chrono::milliseconds(CloseWaitMs), [&q] { return q.done; })) {
        lock.unlock();
        m_thread.join();
        return;
    }
    // The reader holds the stream open and takes nothing: what waits is lost. The thread,
    // blocked in its write, ends with the program.
    const qint64 lost = q.dropped + q.writing + qint64(q.lines.size());
    q.abandoned = true;
    q.lines.clear();
    lock.unlock();
    q.tell(droppedText(
        lost, QCoreApplication::translate("StreamWriter", "it had not caught up when the stream ended")));
    m_thread.detach();
}

void StreamWriter::sampleRecorded(const PublishedSample &sample)
{
    add(m_format == Format::Csv ? SampleFormat::csvLine(sample) : SampleFormat::json(sample) + '\n');
}

void StreamWriter::add(const QByteArray &line)
{
    Queue &q = *m_queue;
    {
        std::lock_guard<std::mutex> lock(q.mutex);
        if (q.done) return; // the stream has ended
        q.lines.push_back(line);
        q.bytes += line.size();
        while (q.bytes > QueueBytes && q.lines.size() > 1) {
            q.bytes -= q.lines.front().size();
            q.lines.pop_front();
            ++q.dropped;
        }
    }
    q.wake.notify_one();
}

void StreamWriter::write(const std::shared_ptr<Queue> &queue)
{
    // A reader gone must end the stream with EPIPE, not the program with SIGPIPE.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    Queue &q = *queue;
    std::unique_lock<std::mutex> lock(q.mutex);
    for (;;) {
        q.wake.wait(lock, [&q] { return q.closing || !q.lines.empty(); });
        if (q.lines.empty() || q.abandoned) break;
        std::deque<QByteArray> batch;
        batch.swap(q.lines);
        q.bytes = 0;
        q.writing = qint64(batch.size());
        lock.unlock();
        // A line at a time: what the reader has when the program ends is whole lines, counted.
        bool written = true;
        for (; written && !batch.empty(); batch.pop_front(), --q.writing)
            written = writeAll(q.fd, batch.front());
        const int error = errno;
        lock.lock();
        q.writing = 0;
        if (q.abandoned) return;
        if (!written) {
            q.lines.clear();
            q.bytes = 0;
            q.tell(QCoreApplication::translate("StreamWriter", "stream: it ends (%1); the recording goes on")
                       .arg(error == EPIPE
                                ? QCoreApplication::translate("StreamWriter", "the reader has gone")
                                : QString::fromLocal8Bit(std::strerror(error))));
            break;
        }
        if (q.lines.empty() && q.dropped > 0) {
            q.tell(droppedText(q.dropped, QCoreApplication::translate("StreamWriter", "caught up at %1")
                                              .arg(QTime::currentTime().toString(u"hh:mm:ss"))));
            q.dropped = 0;
        }
    }
    q.done = true;
    q.finished.notify_all();
}
