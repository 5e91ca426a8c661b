// The journal reader, which reads whatever a crash left in the records folder. Any input must
// give a record that the table can take as it is, and what it reads must survive being
// written again unchanged.
// Seeds: fuzz/seeds/journal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"

namespace
{

void checkCounters(const RecordJournal::Content &content)
{
    if (content.sampleRows < 1 || content.sampleRows > RecordStore::MaxSampleRows) std::abort();
    if (int(content.rows.size()) != content.sampleRows || content.divisors.size() != content.rows.size())
        std::abort();
    int samples = 0;
    for (const int next : content.nextRow) {
        if (next < 1 || next > content.sampleRows + 1) std::abort();
        samples += next - 1;
    }
    if (samples != content.samples) std::abort();
}

// The record written out again, row by row rather than in the order it was taken: the same
// record comes back.
void checkRewrite(const RecordJournal::Content &content)
{
    QByteArray out;
    RecordJournal::appendHeader(out, content.stamp);
    RecordJournal::appendChannelNames(out, content.channelNames);
    for (int k = 0; k < 6; ++k) {
        const auto channel = std::size_t(k);
        RecordJournal::appendCaptions(out, k, content.functionCaption[channel],
                                      content.prefixCaption[channel], content.divisorCaption[channel]);
    }
    for (int row = 1; row <= content.sampleRows; ++row) {
        const RecordJournal::Row &cells = content.rows[std::size_t(row - 1)];
        RecordJournal::appendRowOpened(out, row, cells[0], cells[1]);
        for (int k = 0; k < 6; ++k)
            if (row < content.nextRow[std::size_t(k)])
                RecordJournal::appendSample(out, k, row, cells[std::size_t(RecordStore::timeColumn(k))],
                                            cells[std::size_t(RecordStore::valueColumn(k))],
                                            cells[std::size_t(RecordStore::unitColumn(k))],
                                            content.divisors[std::size_t(row - 1)][std::size_t(k)]);
    }
    const RecordJournal::Content again = RecordJournal::read(out);
    if (again.header != RecordJournal::Content::Header::Valid || again.tailDropped) std::abort();
    if (again.nextRow != content.nextRow || again.sampleRows != content.sampleRows ||
        again.samples != content.samples || again.rows != content.rows || again.divisors != content.divisors)
        std::abort();
    if (again.channelNames != content.channelNames || again.functionCaption != content.functionCaption ||
        again.prefixCaption != content.prefixCaption || again.divisorCaption != content.divisorCaption)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecordJournal::Content content = RecordJournal::read(bytes);
    if (content.header != RecordJournal::Content::Header::Valid) {
        if (content.samples != 0) std::abort();
        return 0;
    }
    checkCounters(content);
    checkRewrite(content);

    RecordStore store;
    RecordJournal::rebuild(content, store);
    if (store.sampleRows() != content.sampleRows || store.gridRowCount() != content.sampleRows + 1)
        std::abort();
    if (store.channelCount() != content.channelCount() || store.stamp() != content.stamp) std::abort();
    for (int k = 0; k < 6; ++k)
        if (store.nextRow(k) != content.nextRow[std::size_t(k)]) std::abort();
    return 0;
}
