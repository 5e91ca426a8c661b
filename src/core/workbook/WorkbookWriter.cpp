#include "core/workbook/WorkbookWriter.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <array>
#include <cerrno>
#include <memory>
#include <xlsxwriter.h>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"
#include "core/workbook/MemoryFile.h"
#include "core/workbook/PackageCheck.h"
#include "core/workbook/RecordChart.h"
#include "core/workbook/SheetValues.h"
#include "core/workbook/StagedFile.h"

namespace
{

const QString SheetName = QStringLiteral("Sheet1");
constexpr double RowHeight = 16.5;
constexpr int HeaderRow = 7;       // sheet rows from 1; samples start below it
constexpr int MainTimeColumn = 21; // U, then V and W: the main channel in one prefix
constexpr lxw_color_t Blue = 0x0000FF;

int channelColumn(int channel) // the channel's time column, from 1
{
    return 3 * channel + 3;
}

// The value of the main channel's sample in the channel's common prefix, formatted by its
// divisor as the table does; any other divisor leaves the plain number.
QString commonPrefixValue(double value, const QString &unit, int commonPrefix, int divisor)
{
    const int prefix = Measurement::prefixCodeOfUnit(unit);
    const double x =
        value * double(Measurement::prefixFactor(prefix)) / double(Measurement::prefixFactor(commonPrefix));
    switch (divisor) {
    case 1:
        return NumberFormat::format(x, u"####0");
    case 10:
        return NumberFormat::format(x, u"####0.0");
    case 100:
        return NumberFormat::format(x, u"###0.00");
    case 1000:
        return NumberFormat::format(x, u"##0.000");
    default:
        return QString::number(x, 'g', 15);
    }
}

// A text as the writer takes it, valid until the next one: the short ASCII texts most cells
// hold (units, "+OL") are copied into a buffer kept from cell to cell instead of allocated.
class Utf8Text
{
public:
    const char *of(const QString &text)
    {
        const qsizetype size = text.size();
        if (size >= qsizetype(sizeof m_short)) return keep(text);
        const char16_t *chars = reinterpret_cast<const char16_t *>(text.constData());
        for (qsizetype i = 0; i < size; ++i) {
            if (chars[i] >= 0x80) return keep(text);
            m_short[i] = char(chars[i]);
        }
        m_short[size] = '\0';
        return m_short;
    }

private:
    const char *keep(const QString &text)
    {
        m_long = text.toUtf8();
        return m_long.constData();
    }

    char m_short[64];
    QByteArray m_long;
};

// Fills the sheet from the record; remembers the first failing step.
class RecordSheet
{
public:
    RecordSheet(lxw_workbook *workbook, lxw_worksheet *sheet, const WorkbookRecord &record,
                const WorkbookWriter::Progress &progress)
        : m_workbook(workbook), m_sheet(sheet), m_record(record), m_table(record.table), m_progress(progress),
          m_dateFormat(QLocale::system().dateFormat(QLocale::ShortFormat))
    {
        m_stampDate = QDate::fromString(m_table.stamp.left(8), QStringLiteral("yyyyMMdd"));
        if (!m_stampDate.isValid()) m_stampDate = QDate::currentDate();
        const int main = record.mainChannel;
        bool ok = false;
        m_commonPrefix = m_table.prefixCaption.at(std::size_t(main)).toInt(&ok);
        if (!ok) m_commonPrefix = Measurement::NoPrefix;
        m_divisor = m_table.divisorCaption.at(std::size_t(main)).toInt();
        m_commonUnit = Measurement::prefixText(m_commonPrefix) + Measurement::unitText(record.mainFunction);
        m_lastRow = record.mainRowCount + HeaderRow;
    }

    lxw_error fill()
    {
        worksheet_set_default_row(m_sheet, RowHeight, LXW_FALSE);
        writeSummary();
        writeHeader();
        writeSamples();
        setRowHeights();
        setColumnWidths();
        if (m_error == LXW_NO_ERROR)
            m_error = addRecordChart(m_workbook, m_sheet, SheetName, chartData(), m_geometry);
        return m_error;
    }

private:
    bool mixed() const { return m_record.mainRangeMixed; }

    void writeSummary()
    {
        text(1, 1, QStringLiteral("Title"));
        if (m_record.titleShown) text(1, 2, m_record.title);
        text(2, 1, QStringLiteral("Type"));
        text(3, 1, QStringLiteral("AVG"));
        text(4, 1, QStringLiteral("MAX"));
        text(5, 1, QStringLiteral("MIN"));
        for (int k = 0; k < 6; ++k) {
            const WorkbookChannelSummary &summary = m_record.channels.at(std::size_t(k));
            if (!summary.hasStatistics) continue;
            const int c = channelColumn(k);
            text(2, c, m_table.functionCaption.at(std::size_t(k)));
            figure(3, c + 1, summary.average);
            text(3, c + 2, summary.unit);
            extreme(4, c, summary.maximum);
            extreme(5, c, summary.minimum);
        }
    }

    void extreme(int row, int c, const WorkbookExtreme &extreme)
    {
        time(row, c, extreme.time, false);
        figure(row, c + 1, extreme.value);
        text(row, c + 2, extreme.unit);
    }

    void writeHeader()
    {
        text(HeaderRow, 1, QStringLiteral("Index"));
        text(HeaderRow, 2, QStringLiteral("Date"));
        for (int k = 0; k < 6; ++k) {
            const int c = channelColumn(k);
            text(HeaderRow, c, QStringLiteral("Time"));
            text(HeaderRow, c + 1, m_table.cell(0, RecordStore::valueColumn(k)));
            text(HeaderRow, c + 2, QStringLiteral("Unit"));
        }
        if (!mixed()) return;
        text(HeaderRow, MainTimeColumn, QStringLiteral("Time"), true);
        text(HeaderRow, MainTimeColumn + 1,
             QStringLiteral("Main Display(Ch") + QString::number(m_record.mainChannel) + QLatin1Char(')'),
             true);
        text(HeaderRow, MainTimeColumn + 2, QStringLiteral("Unit"), true);
    }

    // The table's last row is the one being filled, normally empty; a record split at 9999 rows
    // has its newest sample there, which must not be lost.
    int sampleRowCount() const
    {
        const int last = m_table.gridRowCount() - 1;
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            if (!m_table.cell(last, column).isEmpty()) return last;
        return last - 1;
    }

    void writeSamples()
    {
        const int sampleRows = sampleRowCount();
        for (int i = 1; i <= sampleRows && m_error == LXW_NO_ERROR; ++i) {
            const int r = HeaderRow + i;
            index(r, m_table.cell(i, 0));
            date(r, m_table.cell(i, 1));
            for (int k = 0; k < 6; ++k) {
                const int c = channelColumn(k);
                time(r, c, m_table.cell(i, RecordStore::timeColumn(k)), false);
                sampleValue(r, c + 1, m_table.cell(i, RecordStore::valueColumn(k)));
                text(r, c + 2, m_table.cell(i, RecordStore::unitColumn(k)));
            }
            if (mixed() && r <= m_lastRow) mainChannelInCommonPrefix(r, i);
            if (m_progress) m_progress(i, sampleRows);
        }
        // The block's blue font reaches down to the main channel's last sample.
        for (int r = HeaderRow + qMax(sampleRows, 0) + 1; mixed() && r <= m_lastRow; ++r)
            for (int column = MainTimeColumn; column < MainTimeColumn + 3; ++column)
                blank(r, column, true);
    }

    void mainChannelInCommonPrefix(int r, int i)
    {
        const int m = m_record.mainChannel;
        time(r, MainTimeColumn, m_table.cell(i, RecordStore::timeColumn(m)), true);
        const QString v = m_table.cell(i, RecordStore::valueColumn(m));
        bool numeric = false;
        const double number = NumberFormat::parseNumber(v, &numeric);
        if (!numeric) {
            text(r, MainTimeColumn + 1, v, true);
        } else {
            const QString converted = commonPrefixValue(number, m_table.cell(i, RecordStore::unitColumn(m)),
                                                        m_commonPrefix, m_divisor);
            decimal(r, MainTimeColumn + 1, NumberFormat::parseNumber(converted, nullptr), converted, true);
        }
        text(r, MainTimeColumn + 2, m_commonUnit, true);
    }

    // A row holding cells has a height of its own, which the chart's placement reads; left to the
    // writer it would be the writer's default, not the sheet's, and the chart would come out taller.
    void setRowHeights()
    {
        const int last = qMax(HeaderRow + sampleRowCount(), mixed() ? m_lastRow : 0);
        for (int row = 1; row <= last; ++row)
            if (row != HeaderRow - 1)
                keep(worksheet_set_row(m_sheet, lxw_row_t(row - 1), RowHeight, nullptr));
    }

    void setColumnWidths()
    {
        m_geometry.rowHeight = RowHeight;
        m_geometry.columnWidths = {6, 10};
        for (int k = 0; k < 6; ++k)
            m_geometry.columnWidths.insert(m_geometry.columnWidths.end(), {10, 10, 6});
        if (mixed()) m_geometry.columnWidths.insert(m_geometry.columnWidths.end(), {10, 10, 6});
        for (std::size_t column = 0; column < m_geometry.columnWidths.size(); ++column)
            keep(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                                      m_geometry.columnWidths[column], nullptr));
    }

    RecordChartData chartData() const
    {
        const int m = m_record.mainChannel;
        RecordChartData data;
        data.firstRow = HeaderRow; // sheet row 8, from 0
        data.lastRow = qMax(m_lastRow, HeaderRow + 1) - 1;
        if (mixed()) {
            data.name = m_table.functionCaption.at(std::size_t(m));
            data.categoryColumn = MainTimeColumn - 1;
            data.valueColumn = MainTimeColumn;
            data.valueAxisTitle = QStringLiteral("Data (") + m_commonUnit + QLatin1Char(')');
        } else {
            data.nameRow = 1;
            data.nameColumn = channelColumn(m) - 1;
            data.categoryColumn = channelColumn(m) - 1;
            data.valueColumn = channelColumn(m);
            data.valueAxisTitle = QStringLiteral("Data (") + m_record.mainDisplayUnit + QLatin1Char(')');
        }
        data.hasTitle = m_record.titleShown;
        data.title = m_record.title;
        return data;
    }

    // --- cells, rows and columns from 1 ---

    void sampleValue(int row, int column, const QString &value)
    {
        bool numeric = false;
        const double number = NumberFormat::parseNumber(value, &numeric);
        if (numeric)
            decimal(row, column, number, value, false);
        else
            text(row, column, value);
    }

    // A summary figure is a number, as the samples are, when a number shows its text again.
    void figure(int row, int column, const QString &value)
    {
        if (const std::optional<double> number = SheetValues::decimalNumber(value))
            decimal(row, column, *number, value, false);
        else
            text(row, column, value);
    }

    void index(int row, const QString &value)
    {
        bool numeric = false;
        const double number = NumberFormat::parseNumber(value, &numeric);
        if (numeric)
            keep(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(0), number,
                                        format(IndexSlot, false)));
        else
            text(row, 1, value);
    }

    void date(int row, const QString &value)
    {
        // Rows share their date, and reading a date is slow: keep the last one read.
        if (value != m_lastDateText) {
            m_lastDateText = value;
            m_lastDate = SheetValues::parseDate(value, m_dateFormat, m_stampDate);
        }
        if (!m_lastDate) return text(row, 2, value);
        keep(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(1),
                                    SheetValues::dateSerial(*m_lastDate), format(DateSlot, false)));
    }

    void time(int row, int column, const QString &value, bool blue)
    {
        const std::optional<double> serial = SheetValues::timeSerial(value);
        if (!serial) return text(row, column, value, blue);
        keep(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), *serial,
                                    format(TimeSlot, blue)));
    }

    // A decimal text, read as `number`, as a number shown with the text's decimals (and the
    // sign of a signed whole zero).
    void decimal(int row, int column, double number, const QString &value, bool blue)
    {
        const QChar sign = SheetValues::zeroSign(value);
        const int slot = sign == u'+'   ? PlusZeroSlot
                         : sign == u'-' ? MinusZeroSlot
                                        : DecimalsSlot + qMin(SheetValues::decimalPlaces(value), MaxPlaces);
        keep(worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                    sign.isNull() ? number : 0.0, format(slot, blue)));
    }

    void text(int row, int column, const QString &value, bool blue = false)
    {
        if (value.isEmpty()) return blank(row, column, blue);
        keep(worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), m_utf8.of(value),
                                    blue ? format(TextSlot, true) : nullptr));
    }

    void blank(int row, int column, bool blue)
    {
        if (blue)
            keep(worksheet_write_blank(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                       format(TextSlot, true)));
    }

    // Cell formats, made once each: plain text, time, date, index, the signed whole zeros, and
    // decimals 0..MaxPlaces.
    enum Slot { TextSlot, TimeSlot, DateSlot, IndexSlot, PlusZeroSlot, MinusZeroSlot, DecimalsSlot };
    static constexpr int MaxPlaces = 15;
    static constexpr int SlotCount = DecimalsSlot + MaxPlaces + 1;

    lxw_format *format(int slot, bool blue)
    {
        lxw_format *&cached = m_formats[std::size_t(blue ? SlotCount + slot : slot)];
        if (!cached) {
            cached = workbook_add_format(m_workbook);
            const QString numberFormat = slot == TimeSlot ? QString::fromLatin1(SheetValues::TimeNumberFormat)
                                         : slot == DateSlot      ? SheetValues::dateNumberFormat(m_dateFormat)
                                         : slot == IndexSlot     ? QStringLiteral("0000")
                                         : slot == PlusZeroSlot  ? SheetValues::decimalsNumberFormat(0, u'+')
                                         : slot == MinusZeroSlot ? SheetValues::decimalsNumberFormat(0, u'-')
                                         : slot >= DecimalsSlot
                                             ? SheetValues::decimalsNumberFormat(slot - DecimalsSlot)
                                             : QString();
            if (!numberFormat.isEmpty()) format_set_num_format(cached, numberFormat.toUtf8().constData());
            if (blue) format_set_font_color(cached, Blue);
        }
        return cached;
    }

    void keep(lxw_error error)
    {
        if (m_error == LXW_NO_ERROR) m_error = error;
    }

    lxw_workbook *m_workbook;
    lxw_worksheet *m_sheet;
    const WorkbookRecord &m_record;
    const RecordTable &m_table;
    const WorkbookWriter::Progress &m_progress;
    QString m_dateFormat;
    QDate m_stampDate;
    int m_commonPrefix = Measurement::NoPrefix;
    int m_divisor = 0;
    QString m_commonUnit;
    int m_lastRow = HeaderRow;
    SheetGeometry m_geometry;
    std::array<lxw_format *, 2 * SlotCount> m_formats{};
    QString m_lastDateText;
    std::optional<QDate> m_lastDate;
    Utf8Text m_utf8;
    lxw_error m_error = LXW_NO_ERROR;
};

struct WorkbookDiscarder {
    void operator()(lxw_workbook *workbook) const { lxw_workbook_free(workbook); }
};

} // namespace

WorkbookWriter::WorkbookWriter(Progress progress) : m_progress(std::move(progress)) {}

bool WorkbookWriter::write(const WorkbookRecord &record, const QString &path, QString *errorText) const
{
    StagedFile file(path);
    QString cause;
    if (!file.create(&cause)) {
        if (errorText) *errorText = QDir::toNativeSeparators(path) + QStringLiteral(": ") + cause;
        return false;
    }
    return write(record, file, errorText);
}

bool WorkbookWriter::write(const WorkbookRecord &record, StagedFile &file, QString *errorText) const
{
    const auto fail = [&](const QString &cause) {
        if (errorText)
            *errorText = QDir::toNativeSeparators(file.targetPath()) + QStringLiteral(": ") + cause;
        return false;
    };
    const auto writerFailure = [&](lxw_error error) { return fail(QString::fromUtf8(lxw_strerror(error))); };

    // libxlsxwriter writes its failures to standard error: it writes into memory, and what the
    // disk refuses is told in this program's words when the file is copied there.
    const MemoryFile memory;
    const QString written = memory.isValid() ? memory.path() : file.temporaryPath();
    lxw_workbook_options options = {};
    std::unique_ptr<lxw_workbook, WorkbookDiscarder> workbook(
        workbook_new_opt(QFile::encodeName(written).constData(), &options));
    if (!workbook) return writerFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), SheetName.toUtf8().constData());
    if (!sheet) return writerFailure(LXW_ERROR_MEMORY_MALLOC_FAILED);

    RecordSheet filling(workbook.get(), sheet, record, m_progress);
    if (const lxw_error error = filling.fill(); error != LXW_NO_ERROR) return writerFailure(error);
    // workbook_close() writes the file and frees the workbook whatever its outcome.
    errno = 0;
    if (const lxw_error error = workbook_close(workbook.release()); error != LXW_NO_ERROR) {
        const int system = errno; // what the disk said, for the user
        if (system == 0) return writerFailure(error);
        return fail(QString::fromUtf8(lxw_strerror(error)).chopped(1) + QStringLiteral(": ") +
                    qt_error_string(system) + QLatin1Char('.'));
    }
    QString cause;
    if (memory.isValid() && !memory.copyTo(file.temporaryPath(), &cause)) return fail(cause);
    if (!checkWorkbookPackage(file.temporaryPath(), &cause) || !file.commit(&cause)) return fail(cause);
    return true;
}

namespace WorkbookFiles
{

bool hasRecord(const RecordStore &record)
{
    return !record.cell(1, 1).isEmpty();
}

QString baseName(const QString &recordFileName)
{
    const QString name = recordFileName.trimmed();
    for (const char *suffix : {".xlsx", ".xls"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return name.chopped(int(qstrlen(suffix)));
    return name;
}

QString autoSavePath(const QString &folder, const QString &recordFileName)
{
    return folder + QLatin1Char('/') + baseName(recordFileName) + QLatin1Char('.') + QLatin1String(Suffix);
}

} // namespace WorkbookFiles
