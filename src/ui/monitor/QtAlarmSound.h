#pragma once
#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <memory>

#include "core/monitor/AlarmSound.h"

class QAudioSink;
class QSoundEffect;

// The alarm sound on this machine: the chime "ding.wav" when it is there and an audio output
// exists, otherwise a generated 2200 Hz tone of 125 ms, and without any audio output the
// system beep. play() never waits for the sound.
class QtAlarmSound final : public QObject, public AlarmSound
{
    Q_OBJECT
public:
    explicit QtAlarmSound(QObject *parent = nullptr);
    ~QtAlarmSound() override;

    void play() override;

    enum class Route { Chime, Tone, Beep };
    // What the next play() will use.
    Route route() const;

    // 16-bit mono PCM of the fallback tone.
    static QByteArray tonePcm(int sampleRate, int frequencyHz, int durationMs);

private:
    void playTone();

    QSoundEffect *m_chime = nullptr;
    QAudioSink *m_toneSink = nullptr;
    QByteArray m_tone;
    QBuffer m_toneBuffer;
    bool m_hasOutput = false;
};
