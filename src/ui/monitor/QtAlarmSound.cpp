#include "ui/monitor/QtAlarmSound.h"

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <cmath>

#include "core/common/AppPaths.h"

namespace
{

constexpr int ToneRate = 22050;
constexpr int ToneFrequency = 2200;
constexpr int ToneMs = 125;

} // namespace

QtAlarmSound::QtAlarmSound(QObject *parent) : QObject(parent)
{
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    m_hasOutput = !output.isNull();
    if (!m_hasOutput) return;

    const QString chimePath = AppPaths::findAsset(QStringLiteral("ding.wav"));
    if (!chimePath.isEmpty()) {
        m_chime = new QSoundEffect(output, this);
        m_chime->setSource(QUrl::fromLocalFile(chimePath));
    }

    QAudioFormat format;
    format.setSampleRate(ToneRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (output.isFormatSupported(format)) {
        m_tone = tonePcm(ToneRate, ToneFrequency, ToneMs);
        m_toneBuffer.setData(m_tone);
        m_toneSink = new QAudioSink(output, format, this);
    }
}

QtAlarmSound::~QtAlarmSound()
{
    if (m_toneSink) m_toneSink->stop();
}

QtAlarmSound::Route QtAlarmSound::route() const
{
    if (m_chime && m_chime->status() != QSoundEffect::Error) return Route::Chime;
    if (m_toneSink) return Route::Tone;
    return Route::Beep;
}

void QtAlarmSound::play()
{
    switch (route()) {
    case Route::Chime:
        // A chime still ringing from the previous second starts again rather than overlapping.
        m_chime->stop();
        m_chime->play();
        break;
    case Route::Tone:
        playTone();
        break;
    case Route::Beep:
        QApplication::beep();
        break;
    }
}

void QtAlarmSound::playTone()
{
    m_toneSink->stop();
    m_toneBuffer.close();
    m_toneBuffer.open(QIODevice::ReadOnly);
    m_toneSink->start(&m_toneBuffer);
}

QByteArray QtAlarmSound::tonePcm(int sampleRate, int frequencyHz, int durationMs)
{
    const int samples = sampleRate * durationMs / 1000;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    constexpr double amplitude = 0.5 * 32767;
    const int rampSamples = sampleRate / 200; // 5 ms fades keep the edges from clicking
    for (int i = 0; i < samples; ++i) {
        double gain = 1;
        if (i < rampSamples)
            gain = double(i) / rampSamples;
        else if (samples - i < rampSamples)
            gain = double(samples - i) / rampSamples;
        const double value = amplitude * gain * std::sin(2 * M_PI * frequencyHz * i / sampleRate);
        qToLittleEndian(qint16(std::lround(value)), pcm.data() + 2 * i);
    }
    return pcm;
}
