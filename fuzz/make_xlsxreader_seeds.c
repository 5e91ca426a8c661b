/* Writes the workbook seeds of fuzz_xlsxreader: small records laid out as the program
 * exports them, with shared strings, with inline strings (constant memory mode) and with a
 * chart. Each file starts with the mode byte 0 (a whole file) that the target expects.
 *   cc fuzz/make_xlsxreader_seeds.c $(pkg-config --cflags --libs xlsxwriter) -o /tmp/make_seeds
 *   /tmp/make_seeds fuzz/seeds/xlsxreader
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xlsxwriter.h>

static void writeRecord(const char *path, int constantMemory, int withChart)
{
    lxw_workbook_options options = {0};
    options.constant_memory = (uint8_t)constantMemory;
    lxw_workbook *workbook = workbook_new_opt(path, &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, "Sheet1");
    lxw_format *time = workbook_add_format(workbook);
    format_set_num_format(time, "hh:mm:ss");
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format_index(date, 14);
    const char *titles[] = {"Title", "Type", "AVG", "MAX", "MIN"};
    for (int row = 0; row < 5; ++row)
        worksheet_write_string(sheet, (lxw_row_t)row, 0, titles[row], NULL);
    worksheet_write_string(sheet, 1, 2, "DCV", NULL);
    worksheet_write_number(sheet, 2, 3, 12.5, NULL);
    worksheet_write_string(sheet, 2, 4, "mV", NULL);
    worksheet_write_string(sheet, 6, 0, "Index", NULL);
    worksheet_write_string(sheet, 6, 1, "Date", NULL);
    for (int k = 0; k < 6; ++k) {
        char name[8];
        snprintf(name, sizeof name, "Ch%d", k + 1);
        worksheet_write_string(sheet, 6, (lxw_col_t)(3 * k + 2), "Time", NULL);
        worksheet_write_string(sheet, 6, (lxw_col_t)(3 * k + 3), name, NULL);
        worksheet_write_string(sheet, 6, (lxw_col_t)(3 * k + 4), "Unit", NULL);
    }
    for (int i = 1; i <= 4; ++i) {
        const lxw_row_t row = (lxw_row_t)(6 + i);
        lxw_datetime day = {2024, 3, 5, 0, 0, 0};
        lxw_datetime at = {0, 0, 0, 14, 7, 8 + i};
        worksheet_write_number(sheet, row, 0, i, NULL);
        worksheet_write_datetime(sheet, row, 1, &day, date);
        worksheet_write_datetime(sheet, row, 2, &at, time);
        if (i == 3)
            worksheet_write_string(sheet, row, 3, "+OL", NULL);
        else
            worksheet_write_number(sheet, row, 3, 10.25 * i, NULL);
        worksheet_write_string(sheet, row, 4, "mV", NULL);
    }
    if (withChart) {
        lxw_chart *chart = workbook_add_chart(workbook, LXW_CHART_LINE);
        lxw_chart_series *series = chart_add_series(chart, "=Sheet1!$C$8:$C$11", "=Sheet1!$D$8:$D$11");
        chart_series_set_name(series, "=Sheet1!$C$2");
        worksheet_insert_chart(sheet, 0, 22, chart);
    }
    workbook_close(workbook);
}

/* The seed is the mode byte 0 followed by the workbook. */
static void prefixModeByte(const char *from, const char *to)
{
    FILE *in = fopen(from, "rb");
    FILE *out = fopen(to, "wb");
    if (!in || !out) exit(1);
    fputc(0, out);
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
        fwrite(buffer, 1, n, out);
    fclose(in);
    fclose(out);
    remove(from);
}

int main(int argc, char **argv)
{
    if (argc != 2) return 2;
    const char *names[] = {"record_shared_strings", "record_inline_strings", "record_with_chart"};
    for (int i = 0; i < 3; ++i) {
        char temporary[512], seed[512];
        snprintf(temporary, sizeof temporary, "%s/%s.tmp.xlsx", argv[1], names[i]);
        snprintf(seed, sizeof seed, "%s/%s", argv[1], names[i]);
        writeRecord(temporary, i == 1, i == 2);
        prefixModeByte(temporary, seed);
    }
    return 0;
}
