// Opening a full record workbook (9,999 rows, six channels, laid out as the export writes it)
// against reading the same cells from a CSV file, the import rules on top, and the Open command
// through a session (the table and the monitor filled too). Prints the median of several runs
// of each, the file sizes and the peak memory.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <vector>
#include <xlsxwriter.h>

#include "core/recordfiles/OpenRecord.h"
#include "core/workbook/WorkbookImport.h"
#include "core/workbook/XlsxReader.h"
#include "support/RecordingSession.h"

namespace
{

constexpr int Rows = RecordStore::MaxSampleRows;
constexpr int Runs = 5;

const char *const Units[6] = {"mV", "V", "A", "mA", "KΩ", "Hz"};

// The export's layout: summary in rows 1-5, header in row 7, samples from row 8.
bool writeWorkbook(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook *workbook = workbook_new(name.constData());
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Sheet1");
    lxw_format *time = workbook_add_format(workbook);
    format_set_num_format(time, "hh:mm:ss");
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format_index(date, 14);
    const char *titles[] = {"Title", "Type", "AVG", "MAX", "MIN"};
    for (int row = 0; row < 5; ++row)
        worksheet_write_string(sheet, lxw_row_t(row), 0, titles[row], nullptr);
    worksheet_write_string(sheet, 6, 0, "Index", nullptr);
    worksheet_write_string(sheet, 6, 1, "Date", nullptr);
    for (int k = 0; k < 6; ++k) {
        const lxw_col_t c = lxw_col_t(3 * k + 2);
        const QByteArray channel = "Ch" + QByteArray::number(k + 1);
        worksheet_write_string(sheet, 1, c, "DCV", nullptr);
        worksheet_write_number(sheet, 2, c + 1, 1.5, nullptr);
        worksheet_write_string(sheet, 2, c + 2, Units[k], nullptr);
        worksheet_write_string(sheet, 6, c, "Time", nullptr);
        worksheet_write_string(sheet, 6, c + 1, channel.constData(), nullptr);
        worksheet_write_string(sheet, 6, c + 2, "Unit", nullptr);
    }
    lxw_datetime day = {2024, 3, 5, 0, 0, 0};
    for (int i = 1; i <= Rows; ++i) {
        const lxw_row_t row = lxw_row_t(6 + i);
        worksheet_write_number(sheet, row, 0, i, nullptr);
        worksheet_write_datetime(sheet, row, 1, &day, date);
        for (int k = 0; k < 6; ++k) {
            const lxw_col_t c = lxw_col_t(3 * k + 2);
            const int second = 2 * i + k;
            lxw_datetime at = {0, 0, 0, 8 + second / 3600 % 12, second / 60 % 60, double(second % 60)};
            worksheet_write_datetime(sheet, row, c, &at, time);
            worksheet_write_number(sheet, row, c + 1, (i % 2000) * 0.25 - 100, nullptr);
            worksheet_write_string(sheet, row, c + 2, Units[k], nullptr);
        }
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

// The same cells as text, one sheet row a line.
bool writeCsv(const QString &path, const SheetCells &cells)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream out(&file);
    for (int row = 1; row <= cells.rowCount(); ++row) {
        QStringList fields;
        for (int column = 1; column <= cells.columnCount(); ++column) {
            const SheetCell cell = cells.at(row, column);
            fields.append(cell.type == SheetCell::Type::Text    ? cell.text
                          : cell.type == SheetCell::Type::Empty ? QString()
                                                                : QString::number(cell.number, 'g', 15));
        }
        out << fields.join(u';') << '\n';
    }
    return true;
}

bool readCsv(const QString &path, SheetCells *cells)
{
    *cells = SheetCells();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    const QString all = QString::fromUtf8(file.readAll());
    int row = 0;
    for (QStringView line : QStringView(all).split(u'\n')) {
        ++row;
        int column = 0;
        for (QStringView field : line.split(u';')) {
            ++column;
            if (field.isEmpty()) continue;
            SheetCell cell;
            bool number = false;
            cell.number = field.toDouble(&number);
            cell.type = number ? SheetCell::Type::Number : SheetCell::Type::Text;
            if (!number) cell.text = field.toString();
            cells->set(row, column, cell);
        }
    }
    return true;
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Medians of wall-clock and processor time: on a machine busy with other work the processor
// time is the better guess at what an idle one takes.
struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

Timing median(const std::function<void(int run)> &work)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMs();
        work(run);
        cpu.push_back(cpuMs() - cpuStart);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString workbook = folder.filePath(QStringLiteral("240305_140709.xlsx"));
    const QString csv = folder.filePath(QStringLiteral("240305_140709.csv"));

    QElapsedTimer timer;
    timer.start();
    if (!writeWorkbook(workbook)) return 1;
    const double writeMs = double(timer.nsecsElapsed()) / 1e6;

    SheetCells cells;
    QString error;
    XlsxReader reader;
    const long residentBefore = peakResidentKiB();
    if (!reader.read(workbook, &cells, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const long residentAfter = peakResidentKiB();
    if (!writeCsv(csv, cells)) return 1;

    // Each run fills objects of its own, freed after the timing as a program's would be later:
    // freeing a previous record is no part of opening one.
    std::vector<SheetCells> sheets(Runs);
    const Timing xlsx = median([&](int run) { reader.read(workbook, &sheets[std::size_t(run)], &error); });
    std::vector<ImportedRecord> records(Runs);
    const Timing import = median([&](int run) { records[std::size_t(run)] = importRecord(cells); });
    std::vector<WorkbookOpening> openings(Runs);
    const Timing open = median([&](int run) { openings[std::size_t(run)] = openWorkbook(workbook, reader); });
    std::vector<SheetCells> csvSheets(Runs);
    const Timing csvRead = median([&](int run) { readCsv(csv, &csvSheets[std::size_t(run)]); });
    std::vector<std::unique_ptr<RecordingSession>> viewers;
    for (int run = 0; run < Runs; ++run)
        viewers.push_back(std::make_unique<RecordingSession>());
    bool commandOpened = true;
    const Timing command = median([&](int run) {
        commandOpened = viewers[std::size_t(run)]->session.openRecord().open(workbook) && commandOpened;
    });
    if (!commandOpened) return 1;
    const ImportedRecord &record = openings.front().record;

    std::printf("record: %d rows x %d columns, %zu table rows loaded\n", cells.rowCount(),
                cells.columnCount(), record.rows.size());
    std::printf("files: workbook %lld bytes (written in %.0f ms), csv %lld bytes\n", QFile(workbook).size(),
                writeMs, QFile(csv).size());
    std::printf("medians of %d runs          wall ms   cpu ms\n", Runs);
    const auto line = [](const char *what, const Timing &t) {
        std::printf("%-26s %8.1f %8.1f\n", what, t.wallMs, t.cpuMs);
    };
    line("read .xlsx cells", xlsx);
    line("read .csv cells", csvRead);
    line("import rules", import);
    line("open (read + import)", open);
    line("Open command (+ table)", command);
    std::printf("goal: open under 700 ms\n");
    std::printf("peak memory: %ld KiB before the first read, %ld KiB after\n", residentBefore, residentAfter);
    return 0;
}
