#include "support/RecordFixture.h"

#include <QTime>

#include "core/record/RecordStore.h"

void fillRecord(RecordStore &store, int samples, int channels)
{
    store.clearRecord({QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                       QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")});
    store.setGridRowCount(samples + 2);
    const QTime start(15, 12, 30);
    for (int row = 1; row <= samples; ++row) {
        store.setCell(row, 0, QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
        store.setCell(row, 1, QStringLiteral("05/12/2026"));
        const QString time = start.addSecs(2 * (row - 1)).toString(QStringLiteral("hh:mm:ss"));
        for (int channel = 0; channel < channels; ++channel) {
            store.setCell(row, RecordStore::timeColumn(channel), time);
            store.setCell(row, RecordStore::valueColumn(channel),
                          QString::number((row * 7 + channel) % 2000 - 999.5));
            store.setCell(row, RecordStore::unitColumn(channel), QStringLiteral("mV"));
        }
    }
}
