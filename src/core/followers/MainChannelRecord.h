#pragma once
#include "core/graph/GraphInputs.h"

struct AcquisitionState;
class RecordStore;
class RecordingStatus;

// The main channel's column of the record table, as the graph reads it.
class MainChannelRecord final : public GraphRecord
{
public:
    MainChannelRecord(const RecordStore &record, const AcquisitionState &state, const RecordingStatus &status)
        : m_record(record), m_state(state), m_status(status)
    {
    }

    int tableRows() const override;
    // The main channel's samples, up to the last row a page may show: the row being filled
    // while a recording runs, the last complete row otherwise.
    int sampleCount() const override;
    GraphSample sample(int row) const override;

private:
    const RecordStore &m_record;
    const AcquisitionState &m_state;
    const RecordingStatus &m_status;
};
