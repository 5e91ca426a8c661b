// Opens a full record (9,999 sample rows in six channels) saved as .xls and prints how long
// the reader takes and the peak memory of the process. The workbook is given as the argument, or
// made here by tools/make-xls-fixtures.sh when a spreadsheet program (soffice) is installed;
// without either the benchmark says so and ends.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

#include "core/workbook/XlsReader.h"

namespace
{

// The peak resident set size of the process so far, in KiB.
long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString makeFullRecord(const QString &folder)
{
    const QString script = QFileInfo(QStringLiteral(__FILE__))
                               .absoluteDir()
                               .filePath(QStringLiteral("../tools/make-xls-fixtures.sh"));
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() || !QFileInfo::exists(script))
        return {};
    std::printf("making a full record with %s (takes a while)\n", qPrintable(script));
    QProcess make;
    make.setProcessChannelMode(QProcess::ForwardedChannels);
    make.start(QStringLiteral("bash"), {script, QStringLiteral("--full"), folder});
    if (!make.waitForFinished(10 * 60 * 1000) || make.exitCode() != 0) return {};
    const QString path = folder + QStringLiteral("/full-record.xls");
    return QFileInfo::exists(path) ? path : QString();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : makeFullRecord(folder.path());
    if (path.isEmpty()) {
        std::printf("bench_xls_open: skipped, no workbook given and no soffice to make one "
                    "(pass a full record's .xls, or install libreoffice-calc-nogui)\n");
        return 0;
    }

    XlsReader reader;
    std::vector<qint64> times;
    const long peakBefore = peakKiB();
    int rows = 0, columns = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        SheetCells cells;
        QString error;
        if (!reader.read(path, &cells, &error)) {
            std::printf("bench_xls_open: %s\n", qPrintable(error));
            return 1;
        }
        times.push_back(timer.nsecsElapsed());
        rows = cells.rowCount();
        columns = cells.columnCount();
    }
    std::sort(times.begin(), times.end());
    std::printf("bench_xls_open: %s, %lld bytes, %d rows x %d columns\n",
                qPrintable(QFileInfo(path).fileName()), static_cast<long long>(QFileInfo(path).size()), rows,
                columns);
    std::printf("  open: best %.1f ms, median %.1f ms of %zu runs\n", double(times.front()) / 1e6,
                double(times[times.size() / 2]) / 1e6, times.size());
    std::printf("  peak memory: %ld KiB before, %ld KiB after opening\n", peakBefore, peakKiB());
    return 0;
}
