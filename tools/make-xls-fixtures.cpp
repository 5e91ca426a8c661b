// Writes the .xlsx sources of the .xls test workbooks, and beside each a list of the cells it
// wrote ("<name>.cells": row, column, kind, value; tab-separated, rows and columns from 1,
// dates and times as 1900-system serials). tools/make-xls-fixtures.sh builds this program by
// hand and has a spreadsheet program convert its output to .xls.
//
//   make-xls-fixtures OUTDIR         the test workbooks
//   make-xls-fixtures --full FILE    one full record of 9,999 rows in six channels
#include <xlsxwriter.h>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr double days1904To1900 = 1462;

// 1900-system serial of a date (from 1900-03-01 on, where the system counts plainly).
double serialOfDate(int year, int month, int day)
{
    // days from 1899-12-30 by the civil-from-days inverse
    const int y = year - (month <= 2);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = long(era) * 146097 + doe - 719468; // days since 1970-01-01
    return double(days + 25569);
}

double serialOfTime(int seconds)
{
    return double(seconds % 86400) / 86400.0;
}

std::string timeText(int seconds)
{
    char text[16];
    seconds %= 86400;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

// The sheet being written and the list of what went into it.
class Sheet
{
public:
    Sheet(lxw_workbook *book, bool date1904) : m_date1904(date1904)
    {
        m_sheet = workbook_add_worksheet(book, "Sheet1");
        const auto numberFormat = [book](const char *code, lxw_color_t colour = LXW_COLOR_BLACK) {
            lxw_format *format = workbook_add_format(book);
            if (code) format_set_num_format(format, code);
            if (colour != LXW_COLOR_BLACK) format_set_font_color(format, colour);
            return format;
        };
        m_time = numberFormat("hh:mm:ss");
        m_date = numberFormat("yyyy/mm/dd");
        m_dateTime = numberFormat("yyyy-mm-dd hh:mm");
        m_elapsed = numberFormat("[h]:mm:ss");
        m_minutes = numberFormat("mm:ss");
        m_scientific = numberFormat("0.00E+00");
        m_blue = numberFormat(nullptr, LXW_COLOR_BLUE);
        m_blueTime = numberFormat("hh:mm:ss", LXW_COLOR_BLUE);
        worksheet_set_default_row(m_sheet, 16.5, LXW_FALSE);
    }
    lxw_worksheet *sheet() const { return m_sheet; }

    void text(int row, int column, const std::string &value, bool blue = false)
    {
        if (value.empty()) return;
        worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value.c_str(),
                               blue ? m_blue : nullptr);
        note(row, column, "text", value);
    }
    void number(int row, int column, double value, bool blue = false)
    {
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value,
                               blue ? m_blue : nullptr);
        note(row, column, "number", exact(value));
    }
    // A value cell as the export writes it: a number when numeric, otherwise its text.
    void value(int row, int column, const std::string &value, bool blue = false)
    {
        char *end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (!value.empty() && end && *end == '\0')
            this->number(row, column, number, blue);
        else
            text(row, column, value, blue);
    }
    void time(int row, int column, int seconds, bool blue = false)
    {
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), serialOfTime(seconds),
                               blue ? m_blueTime : m_time);
        note(row, column, "time", timeText(seconds));
    }
    void date(int row, int column, double serial1900) { dated(row, column, serial1900, m_date, "date"); }
    void dateTime(int row, int column, double serial1900)
    {
        dated(row, column, serial1900, m_dateTime, "datetime");
    }
    // Time formats on numbers that are no time of day.
    void elapsed(int row, int column, double days) { formatted(row, column, days, m_elapsed, "duration"); }
    void minutes(int row, int column, double days) { formatted(row, column, days, m_minutes, "duration"); }
    void scientific(int row, int column, double value)
    {
        formatted(row, column, value, m_scientific, "number");
    }

    // A formula whose cached result the writer cannot give; the file is patched afterwards.
    void formula(int row, int column, const char *formula, const std::string &kind, const std::string &result)
    {
        if (kind == "number")
            worksheet_write_formula_num(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), formula, nullptr,
                                        std::strtod(result.c_str(), nullptr));
        else
            worksheet_write_formula(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), formula, nullptr);
        note(row, column, kind, result);
    }

    void saveList(const std::string &path) const
    {
        std::ofstream out(path);
        for (const auto &[where, what] : m_cells)
            out << where.first << '\t' << where.second << '\t' << what.first << '\t' << what.second << '\n';
    }

private:
    static std::string exact(double value)
    {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return text;
    }
    void dated(int row, int column, double serial1900, lxw_format *format, const char *kind)
    {
        const double stored = m_date1904 ? serial1900 - days1904To1900 : serial1900;
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), stored, format);
        note(row, column, kind, exact(serial1900));
    }
    void formatted(int row, int column, double value, lxw_format *format, const char *kind)
    {
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format);
        note(row, column, kind, exact(value));
    }
    void note(int row, int column, const std::string &kind, const std::string &value)
    {
        m_cells[{row, column}] = {kind, value};
    }

    lxw_worksheet *m_sheet;
    bool m_date1904;
    lxw_format *m_time, *m_date, *m_dateTime, *m_elapsed, *m_minutes, *m_scientific, *m_blue, *m_blueTime;
    std::map<std::pair<int, int>, std::pair<std::string, std::string>> m_cells;
};

struct Channel {
    bool present;
    std::string function;
    std::string name;
    std::string unit;
    int places;   // decimals of the readings
    double first; // first reading
    double step;  // change per row
    int offset;   // seconds after the row's second
};

std::string reading(const Channel &channel, int row)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", channel.places, channel.first + channel.step * row);
    return text;
}

struct Record {
    std::string title;
    std::vector<Channel> channels; // six
    int rows;
    int startSeconds; // time of the first row
    double startDate; // 1900 serial of the first row's date
    int mainChannel;
    bool mainBlock;                       // the main channel's block in U..W
    std::map<int, std::string> overloads; // row -> "+OL"/"-OL" in the main channel
};

// The record layout: summary block, header row 7, samples from row 8, and the main channel's
// line chart.
void writeRecord(lxw_workbook *book, const Record &record, bool date1904, const std::string &listPath)
{
    Sheet out(book, date1904);
    worksheet_set_column(out.sheet(), 0, 0, 6, nullptr);
    worksheet_set_column(out.sheet(), 1, 1, 10, nullptr);
    out.text(1, 1, "Title");
    out.text(1, 2, record.title);
    out.text(2, 1, "Type");
    out.text(3, 1, "AVG");
    out.text(4, 1, "MAX");
    out.text(5, 1, "MIN");
    out.text(7, 1, "Index");
    out.text(7, 2, "Date");
    const auto secondsAt = [&](const Channel &channel, int row) {
        return record.startSeconds + 2 * (row - 1) + channel.offset;
    };
    const auto dayAt = [&](const Channel &channel, int row) {
        return record.startDate + double(secondsAt(channel, row) / 86400);
    };
    const auto valueAt = [&](int k, int row) {
        const auto overload = record.overloads.find(row);
        if (k == record.mainChannel && overload != record.overloads.end()) return overload->second;
        return reading(record.channels[size_t(k)], row);
    };
    for (int k = 0; k < 6; ++k) {
        const Channel &channel = record.channels[size_t(k)];
        const int c = 3 * k + 3;
        worksheet_set_column(out.sheet(), lxw_col_t(c - 1), lxw_col_t(c), 10, nullptr);
        worksheet_set_column(out.sheet(), lxw_col_t(c + 1), lxw_col_t(c + 1), 6, nullptr);
        out.text(7, c, "Time");
        out.text(7, c + 1, channel.name);
        out.text(7, c + 2, "Unit");
        if (!channel.present) continue;
        // the summary: average of the first and last reading, maximum last, minimum first
        out.text(2, c, channel.function);
        out.value(3, c + 1, reading(channel, (record.rows + 1) / 2));
        out.text(3, c + 2, channel.unit);
        const int high = channel.step >= 0 ? record.rows : 1;
        const int low = channel.step >= 0 ? 1 : record.rows;
        out.time(4, c, secondsAt(channel, high));
        out.value(4, c + 1, reading(channel, high));
        out.text(4, c + 2, channel.unit);
        out.time(5, c, secondsAt(channel, low));
        out.value(5, c + 1, reading(channel, low));
        out.text(5, c + 2, channel.unit);
    }
    const Channel &main = record.channels[size_t(record.mainChannel)];
    if (record.mainBlock) {
        worksheet_set_column(out.sheet(), 20, 21, 10, nullptr);
        worksheet_set_column(out.sheet(), 22, 22, 6, nullptr);
        out.text(7, 21, "Time", true);
        out.text(7, 22, "Main Display(Ch" + std::to_string(record.mainChannel) + ")", true);
        out.text(7, 23, "Unit", true);
    }
    for (int i = 1; i <= record.rows; ++i) {
        const int r = 7 + i;
        out.number(r, 1, i);
        out.date(r, 2, dayAt(record.channels[0], i));
        for (int k = 0; k < 6; ++k) {
            const Channel &channel = record.channels[size_t(k)];
            if (!channel.present) continue;
            const int c = 3 * k + 3;
            out.time(r, c, secondsAt(channel, i));
            out.value(r, c + 1, valueAt(k, i));
            out.text(r, c + 2, channel.unit);
        }
        if (record.mainBlock) {
            // as the automatic save writes it: the converted value as text
            out.time(r, 21, secondsAt(main, i), true);
            out.text(r, 22, valueAt(record.mainChannel, i), true);
            out.text(r, 23, main.unit, true);
        }
    }

    const int last = 7 + record.rows;
    const int t = record.mainBlock ? 21 : 3 * record.mainChannel + 3;
    lxw_chart *chart = workbook_add_chart(book, LXW_CHART_LINE);
    lxw_chart_series *series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, "Sheet1", lxw_row_t(7), lxw_col_t(t - 1), lxw_row_t(last - 1),
                                lxw_col_t(t - 1));
    chart_series_set_values(series, "Sheet1", lxw_row_t(7), lxw_col_t(t), lxw_row_t(last - 1), lxw_col_t(t));
    chart_series_set_name_range(series, "Sheet1", 1, lxw_col_t(3 * record.mainChannel + 2));
    lxw_chart_line line{};
    line.color = 0x800080;
    chart_series_set_line(series, &line);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    chart_series_set_marker_size(series, 3);
    chart_axis_set_name(chart->x_axis, "Time");
    chart_axis_set_name(chart->y_axis, ("Data (" + main.unit + ")").c_str());
    size_t cut = std::min<size_t>(record.title.size(), 40);
    while (cut > 0 && cut < record.title.size() && (record.title[cut] & 0xC0) == 0x80)
        --cut; // whole characters
    chart_title_set_name(chart, record.title.substr(0, cut).c_str());
    chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
    lxw_chart_options placement{};
    placement.x_offset = 400;
    placement.y_offset = 200;
    placement.x_scale = 800.0 / 480;
    placement.y_scale = 300.0 / 288;
    worksheet_insert_chart_opt(out.sheet(), 0, 0, chart, &placement);
    out.saveList(listPath);
}

bool check(lxw_error status, const std::string &what)
{
    if (status == LXW_NO_ERROR) return true;
    std::fprintf(stderr, "%s: %s\n", what.c_str(), lxw_strerror(status));
    return false;
}

// Rewrites entries of a zip package, replacing one text by another in each named entry: the
// writer has no call for these settings.
bool patchPackage(const std::string &path,
                  const std::map<std::string, std::pair<std::string, std::string>> &edits)
{
    std::vector<std::pair<std::string, std::string>> entries;
    unzFile in = unzOpen64(path.c_str());
    if (!in) return false;
    for (int more = unzGoToFirstFile(in); more == UNZ_OK; more = unzGoToNextFile(in)) {
        char name[512];
        unz_file_info64 info;
        unzGetCurrentFileInfo64(in, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        std::string data(size_t(info.uncompressed_size), '\0');
        unzOpenCurrentFile(in);
        if (!data.empty()) unzReadCurrentFile(in, data.data(), unsigned(data.size()));
        unzCloseCurrentFile(in);
        const auto edit = edits.find(name);
        if (edit != edits.end()) {
            const size_t at = data.find(edit->second.first);
            if (at == std::string::npos) {
                std::fprintf(stderr, "%s: no \"%s\" in %s\n", path.c_str(), edit->second.first.c_str(), name);
                unzClose(in);
                return false;
            }
            data.replace(at, edit->second.first.size(), edit->second.second);
        }
        entries.emplace_back(name, std::move(data));
    }
    unzClose(in);
    zipFile out = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!out) return false;
    for (const auto &[name, data] : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(out, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0);
        zipWriteInFileInZip(out, data.data(), unsigned(data.size()));
        zipCloseFileInZip(out);
    }
    return zipClose(out, nullptr) == ZIP_OK;
}

std::vector<Channel> sixChannels()
{
    return {
        {true, "DCV", "Ch1", "V", 2, 12.0, 0.07, 0},
        {true, "ACA", "\xD0\x9D\xD0\xB0\xD1\x81\xD0\xBE\xD1\x81", "A", 3, -1.5, 0.123, 1}, // Cyrillic
        {true, "OHM", "\xE9\x9B\xBB\xE6\xB5\x81\xE8\xA8\x88", "KOHM", 0, 100, 1, 0},       // CJK
        {false, "", "Ch4", "", 0, 0, 0, 0},
        {true, "Hz", "Ch5", "Hz", 1, 50.0, -0.5, 1},
        {false, "", "Ch6", "", 0, 0, 0, 0},
    };
}

std::string repeated(const std::string &piece, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

bool writeFixtures(const std::string &folder)
{
    {
        // A record in the 1900 system whose title is a UTF-16 text longer than one record
        // of the shared string table.
        Record record;
        record.title = "\xE6\xB8\xAC\xE5\xAE\x9A " +
                       repeated("\xE9\x9B\xBB\xE5\x9C\xA7\xE3\x81\xAE\xE8\xA8\x98\xE9\x8C\xB2 ", 900);
        record.channels = sixChannels();
        record.rows = 24;
        record.startSeconds = 8 * 3600;
        record.startDate = serialOfDate(2024, 3, 5);
        record.mainChannel = 0;
        record.mainBlock = false;
        record.overloads = {{5, "+OL"}, {6, "-OL"}};
        lxw_workbook *book = workbook_new((folder + "/record-1900.xlsx").c_str());
        writeRecord(book, record, false, folder + "/record-1900.cells");
        if (!check(workbook_close(book), "record-1900.xlsx")) return false;
    }
    {
        // A record kept in the 1904 system, over midnight into a new year, with the main
        // channel's block; its title a Latin text longer than one record.
        Record record;
        record.title = "Night run " + repeated("over the new year ", 520);
        record.channels = sixChannels();
        record.channels[3] = {true, "DCA", "Ch4", "mA", 1, 4.0, 0.2, 0};
        record.rows = 20;
        record.startSeconds = 86400 - 15;
        record.startDate = serialOfDate(2023, 12, 31);
        record.mainChannel = 1;
        record.mainBlock = true;
        record.overloads = {{3, "+OL"}};
        const std::string path = folder + "/record-1904.xlsx";
        lxw_workbook *book = workbook_new(path.c_str());
        writeRecord(book, record, true, folder + "/record-1904.cells");
        if (!check(workbook_close(book), "record-1904.xlsx")) return false;
        if (!patchPackage(path, {{"xl/workbook.xml", {"<workbookPr ", "<workbookPr date1904=\"1\" "}}}))
            return false;
    }
    {
        // Every kind of cell a workbook holds, besides those of a record.
        const std::string path = folder + "/cell-kinds.xlsx";
        lxw_workbook *book = workbook_new(path.c_str());
        Sheet out(book, false);
        out.text(1, 1, "Kind");
        out.formula(2, 1, "=1+2", "number", "3");
        out.formula(4, 1, "=NA()", "error", "#N/A");
        out.formula(5, 1, "=1=1", "boolean", "1");
        out.dateTime(6, 1, serialOfDate(2024, 2, 29) + serialOfTime(13 * 3600 + 45 * 60));
        out.elapsed(7, 1, 1.5);
        out.minutes(8, 1, 0.5 / 24);
        out.scientific(9, 1, 12345.678);
        out.number(10, 1, -0.000125);
        out.number(11, 1, 1e15 + 1);
        out.value(12, 1, "OL");
        out.saveList(folder + "/cell-kinds.cells");
        if (!check(workbook_close(book), "cell-kinds.xlsx")) return false;
        // Cached results for the formulas that do not give numbers. (A formula's text result
        // is left out: the converter writes it as the number 0.)
        if (!patchPackage(
                path, {{"xl/worksheets/sheet1.xml",
                        {"<c r=\"A4\"><f>NA()</f><v>0</v>", "<c r=\"A4\" t=\"e\"><f>NA()</f><v>#N/A</v>"}}}))
            return false;
        if (!patchPackage(path,
                          {{"xl/worksheets/sheet1.xml",
                            {"<c r=\"A5\"><f>1=1</f><v>0</v>", "<c r=\"A5\" t=\"b\"><f>1=1</f><v>1</v>"}}}))
            return false;
    }
    return true;
}

bool writeFullRecord(const std::string &path)
{
    Record record;
    record.title = "Full record";
    record.channels = sixChannels();
    record.channels[3] = {true, "DCA", "Ch4", "mA", 1, 4.0, 0.2, 0};
    record.channels[5] = {true, "CAP", "Ch6", "uF", 2, 10.0, 0.01, 1};
    record.rows = 9999;
    record.startSeconds = 8 * 3600;
    record.startDate = serialOfDate(2024, 3, 5);
    record.mainChannel = 0;
    record.mainBlock = false;
    lxw_workbook *book = workbook_new(path.c_str());
    writeRecord(book, record, false, path + ".cells");
    return check(workbook_close(book), path);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--full") return writeFullRecord(argv[2]) ? 0 : 1;
    if (argc == 2) return writeFixtures(argv[1]) ? 0 : 1;
    std::fprintf(stderr, "usage: %s OUTDIR | --full FILE.xlsx\n", argv[0]);
    return 2;
}
