// Fills a full six-channel record (9,999 rows) the way the decoder does, one append and one
// grow-or-split per sample, and prints the append rate and the memory the record takes.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"

namespace
{

// Resident set size in KiB from /proc/self/status; 0 where that file does not exist.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) return 0;
    QTextStream in(&status);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine())
        if (line.startsWith(QLatin1String("VmRSS:")))
            return line.mid(6).trimmed().section(QLatin1Char(' '), 0, 0).toLong();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecordStore store;
    store.clearRecord({QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                       QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")});
    // A stand-in for an attached view: every change notification is delivered somewhere.
    long notifications = 0;
    QObject::connect(&store, &QAbstractItemModel::dataChanged, [&notifications] { ++notifications; });
    QObject::connect(&store, &QAbstractItemModel::rowsInserted, [&notifications] { ++notifications; });

    const QString units[6] = {QStringLiteral("mV"), QStringLiteral("V"),    QStringLiteral("A"),
                              QStringLiteral("mA"), QStringLiteral("KOHM"), QStringLiteral("Hz")};
    const QDateTime start(QDate(2024, 3, 5), QTime(8, 0, 0));

    const long rssBefore = residentKiB();
    QElapsedTimer timer;
    timer.start();
    long samples = 0;
    bool split = false;
    for (int row = 1; !split; ++row) {
        // Every sample one second after its channel's previous one: the nudge check runs each time.
        const QDateTime now = start.addSecs(row);
        for (int channel = 0; channel < 6 && !split; ++channel) {
            store.appendSample(channel, QString::number(-1234.5 + row * 0.1 + channel, 'f', 1),
                               units[channel], now, 0);
            ++samples;
            split = store.growOrSplit() == RecordStore::Growth::SplitNeeded;
        }
    }
    const qint64 appendNs = timer.nsecsElapsed();
    const long rssAfter = residentKiB();

    const int sampleRows = store.sampleRows();
    QStringList firstRow;
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        firstRow << store.cell(1, column);

    timer.restart();
    const QByteArray csv = CsvExport::toCsv(store);
    const qint64 csvNs = timer.nsecsElapsed();

    timer.restart();
    store.clearRecord({});
    const qint64 clearNs = timer.nsecsElapsed();

    std::printf("record: %d data rows x %d columns, %ld samples, %ld change notifications\n", sampleRows,
                RecordStore::ColumnCount, samples, notifications);
    std::printf("first row: %s\n", qPrintable(firstRow.join(QLatin1Char('|'))));
    std::printf("append + grow: %.1f ms, %.0f samples/s, %.2f us/sample\n", appendNs / 1e6,
                samples / (appendNs / 1e9), appendNs / 1e3 / samples);
    std::printf("memory (VmRSS): %ld KiB before, %ld KiB after, %ld KiB for the record\n", rssBefore,
                rssAfter, rssAfter - rssBefore);
    std::printf("CSV of the full record: %.1f ms, %lld bytes\n", csvNs / 1e6,
                static_cast<long long>(csv.size()));
    std::printf("clearRecord of the full record: %.2f ms\n", clearNs / 1e6);
    return 0;
}
