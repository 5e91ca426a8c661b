#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <thread>

#include "core/publish/SampleOutput.h"

// The samples as lines on a file descriptor (standard output): JSON objects, or CSV after a
// header line. A thread of its own writes them, each as soon as the reader takes it, so a
// reader that pauses never holds the record back: while it pauses the lines wait in a queue of
// at most QueueBytes, the oldest dropped when it is full. How many were dropped is told once,
// when the stream has caught up (or when it ends without); a reader gone ends the stream, told
// once, and the recording goes on.
class StreamWriter final : public SampleOutput
{
public:
    enum class Format { Jsonl, Csv };
    static constexpr qsizetype QueueBytes = 256 * 1024;
    static constexpr int CloseWaitMs = 1000; // what a slow reader gets to take the rest at the end

    // "jsonl" or "csv"; false for anything else.
    static bool parseFormat(const QString &text, Format *format);

    // `tell` gets the messages for the user; it is called on the writer's thread.
    StreamWriter(Format format, int fd, std::function<void(const QString &)> tell);
    ~StreamWriter() override;
    StreamWriter(const StreamWriter &) = delete;
    StreamWriter &operator=(const StreamWriter &) = delete;

    void sampleRecorded(const PublishedSample &sample) override;

private:
    struct Queue; // shared with the thread, which outlives a writer whose reader never reads
    static void write(const std::shared_ptr<Queue> &queue);
    void add(const QByteArray &line);

    Format m_format;
    std::shared_ptr<Queue> m_queue;
    std::thread m_thread;
};
