#include "core/workbook/BiffWorkbook.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QVarLengthArray>
#include <QtEndian>
#include <cstring>
#include <optional>

#include "core/workbook/SheetDates.h"
#include "core/workbook/SheetValues.h"

namespace BiffWorkbook
{

namespace
{

enum RecordType : quint16 {
    FormulaRecord = 0x0006,
    EofRecord = 0x000A,
    DateModeRecord = 0x0022,
    ContinueRecord = 0x003C,
    BoundSheetRecord = 0x0085,
    MulRkRecord = 0x00BD,
    RichLabelRecord = 0x00D6,
    XfRecord = 0x00E0,
    SstRecord = 0x00FC,
    LabelSstRecord = 0x00FD,
    DimensionsRecord = 0x0200,
    NumberRecord = 0x0203,
    LabelRecord = 0x0204,
    BoolErrRecord = 0x0205,
    StringRecord = 0x0207,
    RkRecord = 0x027E,
    FormatRecord = 0x041E,
    BofRecord = 0x0809,
};

enum class Version { Biff5, Biff8 };

constexpr quint16 globalsSubstream = 0x0005;
constexpr quint16 worksheetSubstream = 0x0010;
constexpr quint16 worksheetSheetType = 0;
// The largest sheet the format can address.
constexpr quint32 maxRows = 65536;
constexpr quint32 maxColumns = 256;

// Thrown to leave the walk at the first sign of damage; never escapes this file.
struct Damaged {
    QString why;
};

[[noreturn]] void damaged(const char *why)
{
    throw Damaged{QString::fromLatin1(why)};
}

struct Record {
    quint16 type = 0;
    QByteArrayView payload;
};

// Walks the records of a stream. Every step moves forward; a record that runs past the end
// of the stream is damage.
class RecordWalker
{
public:
    explicit RecordWalker(QByteArrayView stream) : m_stream(stream) {}

    void seek(qsizetype position)
    {
        if (position < 0 || position >= m_stream.size()) damaged("a worksheet lies outside the file");
        m_position = position;
    }

    Record next()
    {
        if (m_stream.size() - m_position < 4) damaged("the file ends in the middle of the workbook");
        const auto *header = reinterpret_cast<const uchar *>(m_stream.data() + m_position);
        Record record;
        record.type = qFromLittleEndian<quint16>(header);
        const quint16 length = qFromLittleEndian<quint16>(header + 2);
        if (m_stream.size() - m_position - 4 < length) damaged("a record runs past the end of the file");
        record.payload = m_stream.sliced(m_position + 4, length);
        m_position += 4 + length;
        return record;
    }

    // The first payload and those of the CONTINUE records right after it.
    QList<QByteArrayView> withContinuations(QByteArrayView first)
    {
        QList<QByteArrayView> segments{first};
        while (m_stream.size() - m_position >= 4 && peekType() == ContinueRecord)
            segments.append(next().payload);
        return segments;
    }

private:
    quint16 peekType() const
    {
        return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(m_stream.data() + m_position));
    }

    QByteArrayView m_stream;
    qsizetype m_position = 0;
};

// Reads the fields of one record, or of a record and its continuations as one run of
// bytes. Reading past the end is damage.
class FieldReader
{
public:
    FieldReader(const QList<QByteArrayView> &segments, Version version)
        : m_segments(segments.cbegin(), segments.cend()), m_version(version)
    {
    }
    FieldReader(QByteArrayView payload, Version version) : m_version(version) { m_segments.append(payload); }

    quint8 u8()
    {
        uchar byte = 0;
        fetch(&byte, 1);
        return byte;
    }
    quint16 u16()
    {
        uchar bytes[2];
        fetch(bytes, 2);
        return qFromLittleEndian<quint16>(bytes);
    }
    quint32 u32()
    {
        uchar bytes[4];
        fetch(bytes, 4);
        return qFromLittleEndian<quint32>(bytes);
    }
    double f64()
    {
        uchar bytes[8];
        fetch(bytes, 8);
        const quint64 bits = qFromLittleEndian<quint64>(bytes);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    void skip(quint32 count)
    {
        while (count > 0) {
            if (exhausted()) nextSegment();
            const quint32 step = quint32(qMin<qsizetype>(count, available()));
            m_offset += step;
            count -= step;
        }
    }
    bool atEnd() const { return m_index == m_segments.size() - 1 && exhausted(); }

    // A string whose character count takes `countBytes` bytes (1 or 2). BIFF8 strings carry
    // an options byte: 8-bit or 16-bit characters, and rich-text runs and phonetic data,
    // which are skipped. Characters carried on into a CONTINUE record start it with a new
    // options byte. BIFF5 strings are 8-bit text of the workbook's code page; Latin-1 is
    // taken for it.
    QString string(int countBytes)
    {
        const quint16 count = countBytes == 1 ? u8() : u16();
        if (m_version == Version::Biff5) return characters(count, false);
        const quint8 options = u8();
        const quint16 runs = (options & 0x08) ? u16() : 0;
        const quint32 phonetic = (options & 0x04) ? u32() : 0;
        QString text = characters(count, options & 0x01);
        skip(4u * runs);
        skip(phonetic);
        return text;
    }

private:
    bool exhausted() const { return m_offset >= m_segments.at(m_index).size(); }
    qsizetype available() const { return m_segments.at(m_index).size() - m_offset; }
    const uchar *cursor() const
    {
        return reinterpret_cast<const uchar *>(m_segments.at(m_index).data()) + m_offset;
    }

    void nextSegment()
    {
        if (m_index + 1 >= m_segments.size()) damaged("a record is shorter than its contents");
        ++m_index;
        m_offset = 0;
    }

    void fetch(uchar *out, qsizetype count)
    {
        while (count > 0) {
            if (exhausted()) nextSegment();
            const qsizetype step = qMin(count, available());
            std::memcpy(out, cursor(), size_t(step));
            out += step;
            m_offset += step;
            count -= step;
        }
    }

    QString characters(quint32 count, bool wide)
    {
        QString text;
        while (count > 0) {
            if (exhausted()) {
                nextSegment();
                if (m_version == Version::Biff8) wide = u8() & 0x01;
            }
            const quint32 fit = quint32(qMin<qsizetype>(count, wide ? available() / 2 : available()));
            if (fit == 0) damaged("a text is cut in the middle of a character");
            const uchar *bytes = cursor();
            if (wide) {
                for (quint32 i = 0; i < fit; ++i)
                    text.append(QChar(qFromLittleEndian<quint16>(bytes + 2 * i)));
            } else {
                text.append(QLatin1String(reinterpret_cast<const char *>(bytes), qsizetype(fit)));
            }
            m_offset += wide ? 2 * qsizetype(fit) : qsizetype(fit);
            count -= fit;
        }
        return text;
    }

    QVarLengthArray<QByteArrayView, 1> m_segments; // most records have no continuation
    Version m_version;
    qsizetype m_index = 0;
    qsizetype m_offset = 0;
};

// What the workbook-wide records say that the cells need.
struct Globals {
    Version version = Version::Biff8;
    bool date1904 = false;
    std::optional<quint32> firstWorksheet;
    QList<QString> sharedStrings;
    QHash<quint16, QString> formatCodes;
    QList<quint16> xfFormats;                 // the format number of each cell style, by style index
    QList<SheetValues::NumberStyle> xfStyles; // what each cell style makes of a number

    // A format number with a FORMAT record of its own is that record's code, whatever the
    // number (writers give their codes numbers below the custom range too).
    void classifyStyles()
    {
        xfStyles.reserve(xfFormats.size());
        for (const quint16 id : std::as_const(xfFormats)) {
            const auto code = formatCodes.constFind(id);
            xfStyles.append(code != formatCodes.constEnd() ? SheetValues::numberStyleOfCode(*code)
                                                           : SheetValues::numberStyleOfBuiltIn(id));
        }
    }
    SheetValues::NumberStyle styleOf(quint16 xf) const
    {
        return xf < xfStyles.size() ? xfStyles.at(xf) : SheetValues::NumberStyle();
    }
};

Version versionOfBof(const Record &record, quint16 substream)
{
    if (record.type != BofRecord || record.payload.size() < 4) damaged("a part of the workbook has no start");
    FieldReader fields(record.payload, Version::Biff8);
    const quint16 version = fields.u16();
    if (fields.u16() != substream) damaged("a part of the workbook is not what it claims to be");
    if (version == 0x0600) return Version::Biff8;
    if (version == 0x0500) return Version::Biff5;
    damaged("the workbook is of an unsupported version");
}

void readSharedStrings(const QList<QByteArrayView> &segments, Globals *globals)
{
    FieldReader fields(segments, globals->version);
    fields.u32(); // references to the strings, not needed
    const quint32 count = fields.u32();
    // Each string takes at least three bytes: no count can make the list outgrow the file.
    qsizetype bytes = 0;
    for (const QByteArrayView segment : segments)
        bytes += segment.size();
    globals->sharedStrings.reserve(qMin<qsizetype>(count, bytes / 3));
    // Some writers count loosely: the strings end where the bytes do.
    for (quint32 i = 0; i < count && !fields.atEnd(); ++i)
        globals->sharedStrings.append(fields.string(2));
}

Globals readGlobals(RecordWalker *walker)
{
    Globals globals;
    globals.version = versionOfBof(walker->next(), globalsSubstream);
    for (;;) {
        const Record record = walker->next();
        FieldReader fields(record.payload, globals.version);
        switch (record.type) {
        case EofRecord:
            globals.classifyStyles();
            return globals;
        case DateModeRecord:
            globals.date1904 = fields.u16() == 1;
            break;
        case BoundSheetRecord: {
            const quint32 position = fields.u32();
            fields.u8(); // visibility
            if (fields.u8() == worksheetSheetType && !globals.firstWorksheet)
                globals.firstWorksheet = position;
            break;
        }
        case SstRecord:
            if (globals.version == Version::Biff8)
                readSharedStrings(walker->withContinuations(record.payload), &globals);
            break;
        case FormatRecord: {
            const quint16 id = fields.u16();
            globals.formatCodes.insert(id, fields.string(globals.version == Version::Biff8 ? 2 : 1));
            break;
        }
        case XfRecord:
            fields.u16(); // font
            globals.xfFormats.append(fields.u16());
            break;
        default:
            break;
        }
    }
}

double numberOfRk(quint32 rk)
{
    double value;
    if (rk & 0x02) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#N/A");
    }
}

// Collects the cells of the worksheet substream.
class SheetBuilder
{
public:
    explicit SheetBuilder(const Globals &globals) : m_globals(globals) {}

    void number(quint16 row, quint16 column, quint16 xf, double value)
    {
        SheetCell cell;
        cell.type = SheetCell::Type::Number;
        const SheetValues::NumberStyle style = m_globals.styleOf(xf);
        cell.format = style.format;
        cell.decimals = style.decimals;
        cell.sign = style.sign;
        cell.number = m_globals.date1904 ? SheetDates::toSystem1900(value, cell.format) : value;
        put(row, column, cell);
    }
    void text(quint16 row, quint16 column, const QString &value)
    {
        SheetCell cell;
        cell.type = SheetCell::Type::Text;
        cell.text = value;
        put(row, column, cell);
    }
    void boolean(quint16 row, quint16 column, bool value)
    {
        SheetCell cell;
        cell.type = SheetCell::Type::Boolean;
        cell.number = value ? 1 : 0;
        put(row, column, cell);
    }
    void error(quint16 row, quint16 column, quint8 code)
    {
        SheetCell cell;
        cell.type = SheetCell::Type::Error;
        cell.text = errorText(code);
        put(row, column, cell);
    }

    // A formula whose text result comes in the STRING record that follows it.
    void awaitString(quint16 row, quint16 column)
    {
        text(row, column, QString());
        m_pendingString = {row, column};
    }
    void formulaString(const QString &value)
    {
        if (!m_pendingString) return;
        text(m_pendingString->first, m_pendingString->second, value);
        m_pendingString.reset();
    }
    void otherRecord() { m_pendingString.reset(); }

    const SheetCells &cells() const { return m_cells; }

private:
    void put(quint16 row, quint16 column, const SheetCell &cell)
    {
        m_pendingString.reset();
        if (column >= maxColumns) damaged("a cell lies outside the sheet");
        if (++m_count > maxCellCount) damaged("the sheet is larger than any record");
        m_cells.set(int(row) + 1, int(column) + 1, cell);
    }

    const Globals &m_globals;
    SheetCells m_cells;
    int m_count = 0;
    std::optional<std::pair<quint16, quint16>> m_pendingString;
};

void readCell(const Record &record, RecordWalker *walker, const Globals &globals, SheetBuilder *sheet)
{
    FieldReader fields(record.payload, globals.version);
    switch (record.type) {
    case NumberRecord: {
        const quint16 row = fields.u16(), column = fields.u16(), xf = fields.u16();
        sheet->number(row, column, xf, fields.f64());
        break;
    }
    case RkRecord: {
        const quint16 row = fields.u16(), column = fields.u16(), xf = fields.u16();
        sheet->number(row, column, xf, numberOfRk(fields.u32()));
        break;
    }
    case MulRkRecord: {
        // row, first column, (style, number) per cell, last column
        if (record.payload.size() < 6 || (record.payload.size() - 6) % 6 != 0)
            damaged("a row of numbers has a broken length");
        const quint16 row = fields.u16(), first = fields.u16();
        const qsizetype count = (record.payload.size() - 6) / 6;
        if (first + count > maxColumns) damaged("a cell lies outside the sheet");
        for (qsizetype i = 0; i < count; ++i) {
            const quint16 xf = fields.u16();
            sheet->number(row, quint16(first + i), xf, numberOfRk(fields.u32()));
        }
        break;
    }
    case LabelSstRecord: {
        const quint16 row = fields.u16(), column = fields.u16();
        fields.u16(); // style
        const quint32 index = fields.u32();
        if (index >= quint32(globals.sharedStrings.size()))
            damaged("a text refers to a string that is missing");
        sheet->text(row, column, globals.sharedStrings.at(index));
        break;
    }
    case LabelRecord:
    case RichLabelRecord: {
        const quint16 row = fields.u16(), column = fields.u16();
        fields.u16(); // style
        sheet->text(row, column, fields.string(2));
        break;
    }
    case BoolErrRecord: {
        const quint16 row = fields.u16(), column = fields.u16();
        fields.u16(); // style
        const quint8 value = fields.u8();
        if (fields.u8())
            sheet->error(row, column, value);
        else
            sheet->boolean(row, column, value != 0);
        break;
    }
    case FormulaRecord: {
        const quint16 row = fields.u16(), column = fields.u16(), xf = fields.u16();
        if (record.payload.size() < 14) damaged("a formula is shorter than its result");
        const auto *result = reinterpret_cast<const uchar *>(record.payload.data() + 6);
        if (result[6] != 0xFF || result[7] != 0xFF) {
            sheet->number(row, column, xf, fields.f64());
            break;
        }
        switch (result[0]) {
        case 0:
            sheet->awaitString(row, column);
            break;
        case 1:
            sheet->boolean(row, column, result[2] != 0);
            break;
        case 2:
            sheet->error(row, column, result[2]);
            break;
        default: // an empty text
            sheet->text(row, column, QString());
            break;
        }
        break;
    }
    case StringRecord: {
        FieldReader continued(walker->withContinuations(record.payload), globals.version);
        sheet->formulaString(continued.string(2));
        break;
    }
    case DimensionsRecord: {
        // The used range; a sheet larger than the format allows is no sheet of this format.
        if (globals.version == Version::Biff8) {
            const quint32 firstRow = fields.u32(), endRow = fields.u32();
            const quint16 firstColumn = fields.u16(), endColumn = fields.u16();
            if (firstRow > endRow || endRow > maxRows || firstColumn > endColumn || endColumn > maxColumns)
                damaged("the sheet claims an impossible size");
        }
        break;
    }
    // Records a formula's text result may come after.
    case 0x04BC: // shared formula
    case 0x0221: // array formula
    case 0x0236: // data table
        break;
    default:
        sheet->otherRecord();
        break;
    }
}

SheetCells readSheet(RecordWalker *walker, const Globals &globals)
{
    if (!globals.firstWorksheet) damaged("the workbook has no worksheet");
    walker->seek(qsizetype(*globals.firstWorksheet));
    const Version version = versionOfBof(walker->next(), worksheetSubstream);
    if (version != globals.version) damaged("the worksheet is of another version than the workbook");
    SheetBuilder sheet(globals);
    int nested = 0; // embedded charts are whole substreams of their own inside the sheet
    for (;;) {
        const Record record = walker->next();
        if (record.type == BofRecord) {
            ++nested;
        } else if (record.type == EofRecord) {
            if (nested == 0) return sheet.cells();
            --nested;
        } else if (nested == 0) {
            readCell(record, walker, globals, &sheet);
        }
    }
}

} // namespace

bool readFirstSheet(const QByteArray &stream, SheetCells *cells, QString *error)
{
    if (stream.size() > maxStreamSize) {
        if (error) *error = QStringLiteral("the workbook is larger than any record");
        return false;
    }
    try {
        RecordWalker walker(stream);
        const Globals globals = readGlobals(&walker);
        *cells = readSheet(&walker, globals);
        return true;
    } catch (const Damaged &damage) {
        if (error) *error = damage.why;
        return false;
    }
}

} // namespace BiffWorkbook
