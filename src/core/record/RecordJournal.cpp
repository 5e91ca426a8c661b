#include "core/record/RecordJournal.h"

#include "core/common/ChannelCount.h"

namespace RecordJournal
{
namespace
{

constexpr qsizetype MaxNumberDigits = 5;
constexpr int MaxFields = 7;

// The characters a field writes as a backslash and a letter: {character, letter}.
constexpr char Escapes[][2] = {{'\\', '\\'}, {'\t', 't'}, {'\n', 'n'}, {'\r', 'r'}};

char escapeCode(char plain)
{
    if (plain > '\\') return 0; // most characters: none of the escaped ones is above the backslash
    for (const auto &escape : Escapes)
        if (escape[0] == plain) return escape[1];
    return 0;
}

char plainOf(char code)
{
    for (const auto &escape : Escapes)
        if (escape[1] == code) return escape[0];
    return 0;
}

// ---- writing

void appendNumber(QByteArray &out, int number)
{
    char digits[12];
    int count = 0;
    unsigned value = number < 0 ? 0u : unsigned(number);
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        out.append(digits[--count]);
}

// A tab and the field. The cells are short and nearly always ASCII: their characters are written
// straight into the buffer; from the first other character on, runs of them are encoded as UTF-8.
void appendField(QByteArray &out, QStringView text)
{
    const qsizetype size = text.size();
    const qsizetype start = out.size();
    out.resize(start + 1 + 2 * size); // room for every character escaped
    char *to = out.data() + start;
    *to++ = '\t';
    qsizetype i = 0;
    for (; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) break;
        const char code = escapeCode(char(c));
        if (code != 0) *to++ = '\\';
        *to++ = code != 0 ? code : char(c);
    }
    out.truncate(to - out.constData());
    while (i < size) {
        qsizetype end = i;
        while (end < size && text[end].unicode() >= 0x80)
            ++end;
        out.append(text.sliced(i, end - i).toUtf8());
        for (i = end; i < size && text[i].unicode() < 0x80; ++i) {
            const char code = escapeCode(char(text[i].unicode()));
            if (code != 0) out.append('\\');
            out.append(code != 0 ? code : char(text[i].unicode()));
        }
    }
}

void appendNumberField(QByteArray &out, int number)
{
    out.append('\t');
    appendNumber(out, number);
}

// ---- reading

struct Fields {
    std::array<QByteArrayView, MaxFields + 1> at;
    int count = 0;
};

// Splits a line at its tabs; more fields than any line has count as MaxFields + 1.
Fields splitLine(QByteArrayView line)
{
    Fields fields;
    qsizetype from = 0;
    for (;;) {
        const qsizetype tab = line.indexOf('\t', from);
        if (fields.count > MaxFields) return fields;
        fields.at[std::size_t(fields.count++)] = line.sliced(from, (tab < 0 ? line.size() : tab) - from);
        if (tab < 0) return fields;
        from = tab + 1;
    }
}

bool unescape(QByteArrayView field, QString *text)
{
    if (!field.contains('\\')) {
        *text = QString::fromUtf8(field);
        return true;
    }
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\') {
            if (++i == field.size()) return false;
            c = plainOf(field[i]);
            if (c == 0) return false;
        }
        bytes.append(c);
    }
    *text = QString::fromUtf8(bytes);
    return true;
}

// A plain decimal number, as the writer writes them; -1 for anything else.
int parseNumber(QByteArrayView field)
{
    if (field.isEmpty() || field.size() > MaxNumberDigits) return -1;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isStamp(QByteArrayView field)
{
    if (field.size() != 15 || field[8] != '_') return false;
    for (qsizetype i = 0; i < field.size(); ++i)
        if (i != 8 && (field[i] < '0' || field[i] > '9')) return false;
    return true;
}

bool unescapeAll(const Fields &fields, int first, QString *texts, int count)
{
    for (int i = 0; i < count; ++i)
        if (!unescape(fields.at[std::size_t(first + i)], &texts[i])) return false;
    return true;
}

bool readHeader(QByteArrayView line, Content &content)
{
    const Fields fields = splitLine(line);
    if (fields.count != 3 || fields.at[0] != QByteArrayView(Magic) || parseNumber(fields.at[1]) != Version ||
        !isStamp(fields.at[2]))
        return false;
    content.stamp = QString::fromLatin1(fields.at[2]);
    return true;
}

bool readSample(const Fields &fields, Content &content)
{
    if (fields.count != 7) return false;
    const int channel = parseNumber(fields.at[1]);
    const int row = parseNumber(fields.at[2]);
    const int divisor = parseNumber(fields.at[6]);
    if (channel < 0 || channel >= ChannelCount || row != content.nextRow[std::size_t(channel)] ||
        row > content.sampleRows || divisor < 0)
        return false;
    QString cells[3];
    if (!unescapeAll(fields, 3, cells, 3)) return false;
    Row &target = content.rows[std::size_t(row - 1)];
    target[RecordStore::timeColumn(channel)] = cells[0];
    target[RecordStore::valueColumn(channel)] = cells[1];
    target[RecordStore::unitColumn(channel)] = cells[2];
    content.divisors[std::size_t(row - 1)][std::size_t(channel)] = divisor;
    ++content.nextRow[std::size_t(channel)];
    ++content.samples;
    // The table grows as it did when the sample was taken: a row more once the newest is reached.
    if (content.sampleRows < RecordStore::MaxSampleRows && row >= content.sampleRows) {
        content.rows.emplace_back();
        content.divisors.emplace_back();
        ++content.sampleRows;
    }
    return true;
}

bool readRowOpened(const Fields &fields, Content &content)
{
    if (fields.count != 4 || parseNumber(fields.at[1]) != content.sampleRows) return false;
    QString cells[2];
    if (!unescapeAll(fields, 2, cells, 2)) return false;
    Row &target = content.rows.back();
    target[0] = cells[0];
    target[1] = cells[1];
    return true;
}

bool readCaptions(const Fields &fields, Content &content)
{
    if (fields.count != 5) return false;
    const int channel = parseNumber(fields.at[1]);
    if (channel < 0 || channel >= ChannelCount) return false;
    QString captions[3];
    if (!unescapeAll(fields, 2, captions, 3)) return false;
    const auto k = std::size_t(channel);
    content.functionCaption[k] = captions[0];
    content.prefixCaption[k] = captions[1];
    content.divisorCaption[k] = captions[2];
    return true;
}

bool readChannelNames(const Fields &fields, Content &content)
{
    if (fields.count != 1 + ChannelCount) return false;
    return unescapeAll(fields, 1, content.channelNames.data(), ChannelCount);
}

bool readLine(QByteArrayView line, Content &content)
{
    const Fields fields = splitLine(line);
    const QByteArrayView kind = fields.at[0];
    if (kind.size() != 1) return false;
    switch (kind[0]) {
    case 'S':
        return readSample(fields, content);
    case 'R':
        return readRowOpened(fields, content);
    case 'C':
        return readCaptions(fields, content);
    case 'N':
        return readChannelNames(fields, content);
    default:
        return false;
    }
}

} // namespace

void appendHeader(QByteArray &out, const QString &stamp)
{
    out.append(Magic);
    appendNumberField(out, Version);
    appendField(out, stamp);
    out.append('\n');
}

void appendChannelNames(QByteArray &out, const std::array<QString, ChannelCount> &names)
{
    out.append('N');
    for (const QString &name : names)
        appendField(out, name);
    out.append('\n');
}

void appendCaptions(QByteArray &out, int channel, const QString &function, const QString &prefix,
                    const QString &divisor)
{
    out.append('C');
    appendNumberField(out, channel);
    appendField(out, function);
    appendField(out, prefix);
    appendField(out, divisor);
    out.append('\n');
}

void appendRowOpened(QByteArray &out, int row, const QString &index, const QString &date)
{
    out.append('R');
    appendNumberField(out, row);
    appendField(out, index);
    appendField(out, date);
    out.append('\n');
}

void appendSample(QByteArray &out, int channel, int row, const QString &time, const QString &value,
                  const QString &unit, int divisor)
{
    out.append('S');
    appendNumberField(out, channel);
    appendNumberField(out, row);
    appendField(out, time);
    appendField(out, value);
    appendField(out, unit);
    appendNumberField(out, divisor);
    out.append('\n');
}

int Content::channelCount() const
{
    int count = 0;
    for (const int next : nextRow)
        if (next > 1) ++count;
    return count;
}

Content read(QByteArrayView bytes)
{
    Content content;
    qsizetype end = bytes.indexOf('\n');
    if (end < 0) return content;
    if (!readHeader(bytes.first(end), content)) {
        content.header = Content::Header::Foreign;
        return content;
    }
    content.header = Content::Header::Valid;
    for (qsizetype at = end + 1; at < bytes.size(); at = end + 1) {
        end = bytes.indexOf('\n', at);
        if (end < 0 || !readLine(bytes.sliced(at, end - at), content)) {
            content.tailDropped = true;
            break;
        }
    }
    return content;
}

void rebuild(const Content &content, RecordStore &store)
{
    store.clearRecord(content.channelNames);
    store.setGridRowCount(content.sampleRows + 1);
    for (int row = 1; row <= content.sampleRows; ++row)
        store.setRow(row, content.rows[std::size_t(row - 1)]);
    store.functionCaption = content.functionCaption;
    store.prefixCaption = content.prefixCaption;
    store.divisorCaption = content.divisorCaption;
    store.restoreCounters(content.sampleRows, content.nextRow, content.channelCount());
    store.setStamp(content.stamp);
}

} // namespace RecordJournal
