#pragma once
#include <QString>
#include <cstdio>

#include "core/publish/SampleOutput.h"

// The samples as lines on a stream (standard output): JSON objects, or CSV after a header
// line; each line flushed as it is written, so a pipe's reader sees it at once.
class StreamWriter final : public SampleOutput
{
public:
    enum class Format { Jsonl, Csv };
    // "jsonl" or "csv"; false for anything else.
    static bool parseFormat(const QString &text, Format *format);

    StreamWriter(Format format, std::FILE *stream);
    void sampleRecorded(const PublishedSample &sample) override;

private:
    void writeLine(const QByteArray &line);

    Format m_format;
    std::FILE *m_stream;
};
