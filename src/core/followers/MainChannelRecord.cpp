#include "core/followers/MainChannelRecord.h"

#include <algorithm>

#include "core/acquisition/AcquisitionState.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingStatus.h"

int MainChannelRecord::tableRows() const
{
    return m_record.gridRowCount();
}

int MainChannelRecord::sampleCount() const
{
    const int usableRows = m_record.gridRowCount() - (m_status.running() ? 1 : 2);
    return std::max(0, std::min(int(m_state.main.rowCount), usableRows));
}

GraphSample MainChannelRecord::sample(int row) const
{
    const int channel = m_state.main.channel;
    return {m_record.cell(row, RecordStore::valueColumn(channel)),
            m_record.cell(row, RecordStore::unitColumn(channel)),
            m_record.cell(row, RecordStore::timeColumn(channel))};
}
