#include "core/publish/StreamWriter.h"

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

StreamWriter::StreamWriter(Format format, std::FILE *stream) : m_format(format), m_stream(stream)
{
    if (m_format == Format::Csv) writeLine(SampleFormat::csvHeader());
}

void StreamWriter::sampleRecorded(const PublishedSample &sample)
{
    if (m_format == Format::Csv)
        writeLine(SampleFormat::csvLine(sample));
    else
        writeLine(SampleFormat::json(sample) + '\n');
}

void StreamWriter::writeLine(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, std::size_t(line.size()), m_stream);
    std::fflush(m_stream);
}
