// Saves a full six-channel record (9,999 rows) as a workbook, both ways, and the same cells as
// CSV in the same run, and prints the times and file sizes; also what taking the record's
// snapshot for a background save costs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/workbook/PackageCheck.h"
#include "core/workbook/WorkbookWriter.h"

namespace
{

constexpr int Runs = 5;

void fillRecord(RecordStore &store)
{
    store.clearRecord({QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                       QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")});
    const QDateTime start(QDate(2024, 3, 5), QTime(8, 0, 0));
    store.stampRecord(start);
    // Channel 1 switches between mV and V every 500 rows; an overload every 997th sample.
    const QString units[6] = {QStringLiteral("mV"),      QStringLiteral("A"),  QStringLiteral("mA"),
                              QStringLiteral("K\u03A9"), QStringLiteral("Hz"), QStringLiteral("V")};
    bool split = false;
    for (int row = 1; !split; ++row) {
        const QDateTime now = start.addSecs(2 * row);
        for (int channel = 0; channel < 6 && !split; ++channel) {
            QString unit = units[channel];
            if (channel == 0 && (row / 500) % 2 == 1) unit = QStringLiteral("V");
            const QString value = (row + channel) % 997 == 0
                                      ? QStringLiteral("+OL")
                                      : QString::number(-123.456 + row * 0.013 + channel, 'f', 3);
            store.appendSample(channel, value, unit, now, 0);
            split = store.growOrSplit() == RecordStore::Growth::SplitNeeded;
        }
    }
    store.functionCaption = {QStringLiteral("DCV"), QStringLiteral("ACA"), QStringLiteral("DCA"),
                             QStringLiteral("OHM"), QStringLiteral("Hz"),  QStringLiteral("ACV")};
    store.prefixCaption = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("2"),
                           QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("3")};
    store.divisorCaption = {QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("1000"),
                            QStringLiteral("1000"), QStringLiteral("1000"), QStringLiteral("1000")};
}

WorkbookRecord summarise(const RecordStore &store)
{
    WorkbookRecord record(store.snapshot());
    for (int k = 0; k < 6; ++k) {
        WorkbookChannelSummary &summary = record.channels[std::size_t(k)];
        summary.hasStatistics = true;
        summary.average = QStringLiteral("12.345");
        summary.unit = store.cell(1, RecordStore::unitColumn(k));
        summary.maximum = {store.cell(9000, RecordStore::timeColumn(k)),
                           store.cell(9000, RecordStore::valueColumn(k)),
                           store.cell(9000, RecordStore::unitColumn(k))};
        summary.minimum = {store.cell(1, RecordStore::timeColumn(k)),
                           store.cell(1, RecordStore::valueColumn(k)),
                           store.cell(1, RecordStore::unitColumn(k))};
    }
    record.mainChannel = 0;
    record.mainFunction = 0;
    record.mainRowCount = store.gridRowCount() - 2;
    record.mainRangeMixed = true; // the largest sheet: with the U..W block
    record.mainDisplayUnit = QStringLiteral("mV");
    record.titleShown = true;
    record.title = QStringLiteral("ABC");
    return record;
}

// The machine is shared: processor time of this (single-threaded) process shows the work
// itself, wall time what the user waits for.
double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Figures {
    double medianMs = 0;
    double bestMs = 0;
    double medianCpuMs = 0;
    qint64 bytes = 0;
};

template <typename Save> Figures measure(const QString &path, Save save)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = processorMs();
        if (!save(path)) {
            std::fprintf(stderr, "saving %s failed\n", qPrintable(path));
            return {};
        }
        cpuTimes.push_back(processorMs() - cpuStart);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    return {times[times.size() / 2], times.front(), cpuTimes[cpuTimes.size() / 2], QFileInfo(path).size()};
}

// What a record split pays on the program's thread to hand the table over: a snapshot, and for
// comparison a copy of every row, which the snapshot's shared rows avoid.
void measureHandOver(const RecordStore &store)
{
    constexpr int Times = 101;
    std::vector<qint64> snapshots;
    std::vector<qint64> copies;
    for (int run = 0; run < Times; ++run) {
        QElapsedTimer timer;
        timer.start();
        const RecordTable shared = store.snapshot();
        snapshots.push_back(timer.nsecsElapsed());
        timer.start();
        QList<RecordTable::Row> copied;
        copied.reserve(shared.rows.size());
        for (const RecordTable::Row &row : shared.rows)
            copied.append(row);
        copies.push_back(timer.nsecsElapsed());
    }
    std::sort(snapshots.begin(), snapshots.end());
    std::sort(copies.begin(), copies.end());
    std::printf("%-28s median %9.3f ms; a copy of every row instead: median %7.3f ms\n",
                "snapshot of the table:", snapshots[Times / 2] / 1e6, copies[Times / 2] / 1e6);
}

void print(const char *what, const Figures &figures)
{
    std::printf("%-28s wall median %7.1f ms, best %7.1f ms; processor median %7.1f ms; %9lld bytes\n", what,
                figures.medianMs, figures.bestMs, figures.medianCpuMs, static_cast<long long>(figures.bytes));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecordStore store;
    fillRecord(store);
    const WorkbookRecord record = summarise(store);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;

    std::printf("record: %d data rows x %d columns, %d runs each\n", store.gridRowCount() - 2,
                RecordStore::ColumnCount, Runs);
    int progressCalls = 0;
    const WorkbookWriter saveData([&progressCalls](int, int) { ++progressCalls; });
    const WorkbookWriter autoSave;
    measureHandOver(store);
    print("workbook, Save Data:", measure(dir.filePath(QStringLiteral("save.xlsx")),
                                          [&](const QString &path) { return saveData.write(record, path); }));
    print("workbook, automatic save:",
          measure(dir.filePath(QStringLiteral("auto.xlsx")),
                  [&](const QString &path) { return autoSave.write(record, path); }));
    print("CSV of the same cells:",
          measure(dir.filePath(QStringLiteral("record.csv")),
                  [&](const QString &path) { return CsvExport::write(store, path); }));
    std::printf("progress calls per save: %d\n", progressCalls / Runs);
    // part of each workbook save: reading the written package back for completeness
    print("of which package check:",
          measure(dir.filePath(QStringLiteral("save.xlsx")),
                  [](const QString &path) { return checkWorkbookPackage(path, nullptr); }));
    return 0;
}
