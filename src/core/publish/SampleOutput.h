#pragma once
#include <QString>

#include "core/publish/PublishedSample.h"

// Where the recorded samples go besides the record: a broker, standard output.
class SampleOutput
{
public:
    enum class RecordState { Recording, Paused, Stopped };
    virtual ~SampleOutput() = default;
    virtual void sampleRecorded(const PublishedSample &sample) = 0;
    virtual void recordStateChanged(RecordState /*state*/, int /*rows*/, const QString & /*stamp*/) {}
    virtual void recordSaved(const QString & /*fileName*/) {}
};
