#include "support/RecorderRig.h"

#include "core/link/FrameEncoder.h"

RecorderRig::RecorderRig() : store(m_folder.filePath(QStringLiteral("settings.ini")))
{
    QObject::connect(&monitor, &MonitorFields::entrySelected, &selector, &ChannelSelector::select);
    QObject::connect(&recorder, &SampleRecorder::restartNeeded, [this] { ++m_restarts; });
    state.resetPending = ResetPending::None; // recording
    record.clearRecord(settings.channelNames());
    record.resetCounters();
    monitor.reset();
}

void RecorderRig::feed(const QByteArray &bytes)
{
    m_reader.append(bytes);
    bool took = false;
    while (const auto frame = m_reader.next()) {
        if (frame->kind != FrameReader::Frame::Kind::Reading) continue;
        took = true;
        if (!recorder.take(frame->reading, m_reader.bufferedBytes())) break;
    }
    if (took) recorder.readingsTaken();
}

QByteArray benchFrame(int channel, int row)
{
    static constexpr int functions[6] = {0, 1, 2, 4, 6, 7};
    FrameEncoder::Header header;
    header.channel = channel;
    header.functionCode = functions[channel];
    header.decimalCode = FrameEncoder::Divisor10;
    return FrameEncoder::encodeReading(header, (row * 37 + channel * 1000) % 10000);
}
