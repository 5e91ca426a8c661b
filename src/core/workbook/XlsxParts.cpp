#include "core/workbook/XlsxParts.h"

#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>
#include <charconv>
#include <cmath>

#include "core/workbook/PlainXmlReader.h"
#include "core/workbook/SheetDates.h"
#include "core/workbook/SheetValues.h"

namespace XlsxParts
{
namespace
{

// Package parts never carry a document type declaration; one that does could only be
// there to make entity expansion do the work of a bomb.
bool nextToken(QXmlStreamReader &xml)
{
    if (xml.readNext() == QXmlStreamReader::DTD) {
        xml.raiseError(QStringLiteral("a document type declaration is not allowed here"));
        return false;
    }
    return !xml.atEnd();
}

bool nextToken(PlainXmlReader &xml)
{
    xml.readNext();
    return !xml.atEnd();
}

Outcome damaged(QString *error, const QString &detail)
{
    *error = detail;
    return Outcome::Damaged;
}

qsizetype indexAfter(const QByteArray &xml, const char *end, qsizetype from)
{
    const qsizetype at = xml.indexOf(end, from);
    return at < 0 ? xml.size() : at + qsizetype(qstrlen(end)) - 1;
}

// Checked before either XML reader sees a part: how deep its elements nest, from a scan of its
// tags that passes over comments, CDATA sections, declarations and quoted attribute values.
bool nestedTooDeep(const QByteArray &xml, QString *error)
{
    const char *data = xml.constData();
    const qsizetype size = xml.size();
    int depth = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '<' || i + 1 >= size) continue;
        const char next = data[i + 1];
        if (next == '/') {
            --depth;
        } else if (next == '?') {
            i = indexAfter(xml, "?>", i);
        } else if (next == '!') {
            i = xml.mid(i, 4) == "<!--"        ? indexAfter(xml, "-->", i)
                : xml.mid(i, 9) == "<![CDATA[" ? indexAfter(xml, "]]>", i)
                                               : indexAfter(xml, ">", i);
        } else {
            char quote = 0;
            qsizetype j = i + 1;
            for (; j < size && (quote || data[j] != '>'); ++j) {
                if (quote && data[j] == quote)
                    quote = 0;
                else if (!quote && (data[j] == '"' || data[j] == '\''))
                    quote = data[j];
            }
            if (data[j - 1] != '/' && ++depth > MaxElementDepth) {
                *error = QStringLiteral("elements nested more than %1 deep").arg(MaxElementDepth);
                return true;
            }
            i = j;
        }
    }
    return false;
}

bool xmlFailed(const QXmlStreamReader &xml, QString *error)
{
    if (!xml.hasError()) return false;
    *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return true;
}

// A plain reader that gives up has its document read again by QXmlStreamReader.
bool xmlFailed(const PlainXmlReader &, QString *)
{
    return false;
}

QString attribute(const QXmlStreamReader &xml, QLatin1String name)
{
    return xml.attributes().value(name).toString();
}

// Relationship ids ("r:id") are in the relationships namespace, whose URI differs between
// the transitional and the strict schema.
QString relationshipId(const QXmlStreamReader &xml)
{
    for (const QXmlStreamAttribute &a : xml.attributes())
        if (a.name() == u"id" && !a.namespaceUri().isEmpty()) return a.value().toString();
    return {};
}

bool isTrue(QStringView value)
{
    return value == u"1" || value == u"true";
}

// Spreadsheet programs write characters XML cannot carry as "_xHHHH_".
QString decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x"))) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'_' && i + 6 < text.size() && text.at(i + 1) == u'x' && text.at(i + 6) == u'_') {
            bool ok = false;
            const ushort code = QStringView(text).mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 6;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

// The text of a shared string or an inline string: its plain text or the runs of its rich
// text, without the phonetic guides some East Asian text carries.
template <typename Xml> QString readRichText(Xml &xml)
{
    QString text;
    int depth = 0;
    while (nextToken(xml)) {
        if (xml.isEndElement()) {
            if (depth == 0) break;
            --depth;
        } else if (xml.isStartElement()) {
            if (xml.name() == u"t")
                text += xml.readElementText();
            else if (xml.name() == u"rPh" || xml.name() == u"phoneticPr")
                xml.skipCurrentElement();
            else
                ++depth;
        }
    }
    return decodeEscapes(text);
}

QString folderOf(const QString &part)
{
    return part.left(part.lastIndexOf(u'/') + 1);
}

QString resolveTarget(const QString &sourcePart, const QString &target)
{
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    path.replace(u'\\', u'/');
    path = path.startsWith(u'/') ? path.mid(1) : folderOf(sourcePart) + path;
    QStringList resolved;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".") continue;
        if (segment == u"..") {
            if (!resolved.isEmpty()) resolved.removeLast();
            continue;
        }
        resolved.append(segment);
    }
    return resolved.join(u'/');
}

// "BC12" -> column 55, row 12; false for anything else or past the sheet's limits.
bool parseReference(QStringView reference, int *row, int *column)
{
    qsizetype i = 0;
    int c = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const QChar letter = reference.at(i);
        const char16_t ch = letter.unicode() < 0x80 ? (letter.unicode() & ~0x20) : letter.toUpper().unicode();
        if (ch < u'A' || ch > u'Z') break;
        c = c * 26 + (ch - u'A' + 1);
    }
    if (i == 0 || c > MaxColumn) return false;
    const QStringView digits = reference.mid(i);
    if (digits.isEmpty() || digits.size() > 7) return false;
    int r = 0;
    for (QChar d : digits) {
        if (!d.isDigit() || d.unicode() > u'9') return false;
        r = r * 10 + (d.unicode() - u'0');
    }
    if (r < 1 || r > MaxRow) return false;
    *row = r;
    *column = c;
    return true;
}

bool parseRowNumber(QStringView text, int *row)
{
    if (text.isEmpty() || text.size() > 7) return false;
    bool ok = false;
    const int r = text.toInt(&ok);
    if (!ok || r < 1 || r > MaxRow) return false;
    *row = r;
    return true;
}

// QStringView::toDouble goes through the locale's number parsing, which made it the slowest
// step of a read. The plain decimal and exponent forms cells hold are read by from_chars (the
// same value to the bit); anything else (a "+" sign, "INF", a value out of range) still by
// toDouble, so that what reads as a number does not change.
double toDouble(QStringView text, bool *ok)
{
    char plain[64];
    if (!text.isEmpty() && text.size() <= qsizetype(sizeof plain) && text.front() != u'+') {
        qsizetype length = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (!((u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'+' || u == u'e' || u == u'E'))
                break;
            plain[length++] = char(u);
        }
        double value = 0;
        const auto [end, failure] = std::from_chars(plain, plain + length, value);
        if (length == text.size() && failure == std::errc() && end == plain + length) {
            *ok = true;
            return value;
        }
    }
    return text.toDouble(ok);
}

// The same for the indexes of styles and shared strings: plain digits here, the rest by toInt.
int toInt(QStringView text, bool *ok = nullptr)
{
    if (!text.isEmpty() && text.size() <= 9) {
        int value = 0;
        qsizetype i = 0;
        for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
            value = value * 10 + (text.at(i).unicode() - u'0');
        if (i == text.size()) {
            if (ok) *ok = true;
            return value;
        }
    }
    return text.toInt(ok);
}

enum class ValueType { Number, SharedString, FormulaText, InlineText, Boolean, Error, IsoDate };

ValueType valueType(QStringView t)
{
    if (t == u"s") return ValueType::SharedString;
    if (t == u"str") return ValueType::FormulaText;
    if (t == u"inlineStr") return ValueType::InlineText;
    if (t == u"b") return ValueType::Boolean;
    if (t == u"e") return ValueType::Error;
    if (t == u"d") return ValueType::IsoDate;
    return ValueType::Number;
}

// One letter names are the ones read for every cell; comparing them inline keeps the
// parse near the speed of the tokenizer.
bool isName(QStringView name, char16_t letter)
{
    return name.size() == 1 && name.front() == letter;
}

// Reads cells from the tokens of QXmlStreamReader or PlainXmlReader.
template <typename Xml> class WorksheetParser
{
public:
    WorksheetParser(Xml &xml, const SheetContext &context, SheetCells *cells, QString *error)
        : m_reader(xml), m_context(context), m_cells(cells), m_error(error)
    {
    }

    Outcome parse()
    {
        bool inSheetData = false;
        while (nextToken(m_reader)) {
            if (m_reader.isEndElement() && m_reader.name() == u"sheetData") inSheetData = false;
            if (!m_reader.isStartElement()) continue;
            const QStringView name = m_reader.name();
            Outcome outcome = Outcome::Ok;
            if (isName(name, u'c') && inSheetData)
                outcome = readCell();
            else if (name == u"row" && inSheetData)
                outcome = startRow();
            else if (name == u"sheetData")
                inSheetData = true;
            if (outcome != Outcome::Ok) return outcome;
        }
        return xmlFailed(m_reader, m_error) ? Outcome::Damaged : Outcome::Ok;
    }

private:
    Outcome startRow()
    {
        const auto &attributes = m_reader.attributes();
        const QStringView number = attributes.value(QLatin1String("r"));
        if (number.isEmpty()) {
            if (++m_row > MaxRow) return damaged(m_error, QStringLiteral("more rows than a sheet has"));
        } else if (!parseRowNumber(number, &m_row)) {
            return damaged(m_error, QStringLiteral("row number \"%1\" lies outside the sheet").arg(number));
        }
        m_column = 0;
        return Outcome::Ok;
    }

    Outcome readCell()
    {
        QStringView reference;
        QStringView typeName;
        int style = 0;
        const auto &attributes = m_reader.attributes();
        for (const auto &a : attributes) {
            if (isName(a.name(), u'r'))
                reference = a.value();
            else if (isName(a.name(), u't'))
                typeName = a.value();
            else if (isName(a.name(), u's'))
                style = toInt(a.value());
        }
        if (reference.isEmpty()) {
            if (m_row == 0) m_row = 1;
            if (++m_column > MaxColumn)
                return damaged(m_error, QStringLiteral("more columns than a sheet has"));
        } else if (!parseReference(reference, &m_row, &m_column)) {
            return damaged(m_error,
                           QStringLiteral("cell reference \"%1\" lies outside the sheet").arg(reference));
        }
        m_reference.resize(0); // keeps the buffer
        m_reference += reference;
        const ValueType type = valueType(typeName);

        bool hasValue = false;
        bool hasInline = false;
        while (nextToken(m_reader) && !m_reader.isEndElement()) {
            if (!m_reader.isStartElement()) continue;
            if (isName(m_reader.name(), u'v')) {
                readValueText();
                hasValue = true;
            } else if (m_reader.name() == u"is") {
                m_value = readRichText(m_reader);
                hasInline = true;
            } else {
                m_reader.skipCurrentElement(); // the formula and extensions
            }
        }
        if (m_reader.hasError()) return Outcome::Ok;     // parse() reports it
        if (!hasValue && !hasInline) return Outcome::Ok; // a formatted blank, or a formula never calculated
        if (hasInline && type != ValueType::InlineText) return Outcome::Ok; // nothing a program writes

        const CellStyle format =
            style >= 0 && style < int(styles().size()) ? styles()[std::size_t(style)] : CellStyle();
        SheetCell cell;
        const Outcome outcome = hasInline ? textCell(&cell, m_value) : makeCell(type, format, &cell);
        if (outcome != Outcome::Ok) return outcome;
        if (++m_stored > m_context.maxCells) {
            *m_error = QStringLiteral("more than %1 cells").arg(m_context.maxCells);
            return Outcome::OverLimit;
        }
        m_cells->set(m_row, m_column, std::move(cell));
        return Outcome::Ok;
    }

    // Into a buffer kept from cell to cell, so that a number costs no allocation.
    void readValueText()
    {
        m_value.resize(0); // keeps the buffer, unlike clear()
        while (nextToken(m_reader) && !m_reader.isEndElement()) {
            if (m_reader.isCharacters())
                m_value += m_reader.text();
            else if (m_reader.isStartElement())
                m_reader.skipCurrentElement();
        }
    }

    static Outcome textCell(SheetCell *cell, const QString &text)
    {
        cell->type = SheetCell::Type::Text;
        cell->text = text;
        return Outcome::Ok;
    }

    Outcome makeCell(ValueType type, const CellStyle &style, SheetCell *cell) const
    {
        const SheetCell::NumberFormat format = style.format;
        const QStringView value = QStringView(m_value).trimmed();
        switch (type) {
        case ValueType::SharedString: {
            bool ok = false;
            const int index = toInt(value, &ok);
            if (!ok || index < 0 || index >= int(strings().size()))
                return cellFailed(QStringLiteral("one of the %1 shared strings").arg(strings().size()));
            return textCell(cell, strings()[std::size_t(index)]);
        }
        case ValueType::FormulaText:
        case ValueType::InlineText:
            return textCell(cell, decodeEscapes(m_value));
        case ValueType::Error:
            cell->type = SheetCell::Type::Error;
            cell->text = m_value;
            return Outcome::Ok;
        case ValueType::Boolean:
            cell->type = SheetCell::Type::Boolean;
            cell->number = isTrue(value) ? 1 : 0;
            return Outcome::Ok;
        case ValueType::IsoDate: {
            // An ISO 8601 moment, whatever the workbook's date system.
            const QDateTime when = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
            if (!when.isValid()) return cellFailed(QStringLiteral("a date"));
            const double serial = SheetDates::serialOfDateTime(when);
            // Before the first serial day a moment has no number: it reads as its text.
            if (std::isnan(serial)) return textCell(cell, value.toString());
            cell->type = SheetCell::Type::Number;
            cell->number = serial;
            cell->format =
                format == SheetCell::NumberFormat::General ? SheetCell::NumberFormat::DateTime : format;
            return Outcome::Ok;
        }
        case ValueType::Number:
            break;
        }
        bool ok = false;
        cell->number = toDouble(value, &ok);
        if (!ok || !std::isfinite(cell->number)) return cellFailed(QStringLiteral("a number"));
        cell->type = SheetCell::Type::Number;
        cell->format = format;
        cell->decimals = style.decimals;
        cell->sign = style.sign;
        if (m_context.date1904) cell->number = SheetDates::toSystem1900(cell->number, format);
        return Outcome::Ok;
    }

    Outcome cellFailed(const QString &what) const
    {
        const QString where =
            m_reference.isEmpty() ? QStringLiteral("R%1C%2").arg(m_row).arg(m_column) : m_reference;
        return damaged(m_error,
                       QStringLiteral("cell %1 holds \"%2\" where %3 belongs").arg(where, m_value, what));
    }

    const std::vector<QString> &strings() const
    {
        static const std::vector<QString> none;
        return m_context.sharedStrings ? *m_context.sharedStrings : none;
    }
    const CellStyles &styles() const
    {
        static const CellStyles none;
        return m_context.styles ? *m_context.styles : none;
    }

    Xml &m_reader;
    const SheetContext &m_context;
    SheetCells *m_cells;
    QString *m_error;
    int m_row = 0;
    int m_column = 0;
    int m_stored = 0;
    QString m_reference; // the current cell's, kept since the tokens after it replace its attributes
    QString m_value;
};

} // namespace

bool parseRelationships(const QByteArray &xml, const QString &sourcePart, std::vector<Relationship> *out,
                        QString *error)
{
    out->clear();
    if (nestedTooDeep(xml, error)) return false;
    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (!reader.isStartElement() || reader.name() != u"Relationship") continue;
        if (attribute(reader, QLatin1String("TargetMode")) == u"External") continue;
        out->push_back({attribute(reader, QLatin1String("Id")), attribute(reader, QLatin1String("Type")),
                        resolveTarget(sourcePart, attribute(reader, QLatin1String("Target")))});
    }
    return !xmlFailed(reader, error);
}

QString targetOfType(const std::vector<Relationship> &relationships, QStringView typeSuffix)
{
    for (const Relationship &r : relationships)
        if (r.type.endsWith(typeSuffix)) return r.target;
    return {};
}

bool parseWorkbook(const QByteArray &xml, Workbook *out, QString *error)
{
    *out = {};
    if (nestedTooDeep(xml, error)) return false;
    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (!reader.isStartElement()) continue;
        if (reader.name() == u"workbookPr")
            out->date1904 = isTrue(reader.attributes().value(QLatin1String("date1904")));
        else if (reader.name() == u"sheet")
            out->sheetRelationshipIds.append(relationshipId(reader));
    }
    return !xmlFailed(reader, error);
}

bool parseStyles(const QByteArray &xml, CellStyles *out, QString *error)
{
    out->clear();
    if (nestedTooDeep(xml, error)) return false;
    QHash<int, CellStyle> custom;
    std::vector<int> formatIds;
    bool inCellFormats = false;
    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (reader.isEndElement() && reader.name() == u"cellXfs") inCellFormats = false;
        if (!reader.isStartElement()) continue;
        const QStringView name = reader.name();
        if (name == u"numFmt") {
            const int id = reader.attributes().value(QLatin1String("numFmtId")).toInt();
            custom.insert(
                id, SheetValues::numberStyleOfCode(reader.attributes().value(QLatin1String("formatCode"))));
        } else if (name == u"cellXfs") {
            inCellFormats = true;
        } else if (name == u"xf" && inCellFormats) {
            formatIds.push_back(reader.attributes().value(QLatin1String("numFmtId")).toInt());
        }
    }
    if (xmlFailed(reader, error)) return false;
    out->reserve(formatIds.size());
    for (int id : formatIds)
        out->push_back(custom.contains(id) ? custom.value(id) : SheetValues::numberStyleOfBuiltIn(id));
    return true;
}

Outcome parseSharedStrings(const QByteArray &xml, int maxStrings, std::vector<QString> *out, QString *error)
{
    out->clear();
    if (nestedTooDeep(xml, error)) return Outcome::Damaged;
    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (!reader.isStartElement() || reader.name() != u"si") continue;
        if (int(out->size()) >= maxStrings) {
            *error = QStringLiteral("more than %1 shared strings").arg(maxStrings);
            return Outcome::OverLimit;
        }
        out->push_back(readRichText(reader));
    }
    return xmlFailed(reader, error) ? Outcome::Damaged : Outcome::Ok;
}

Outcome parseWorksheet(const QByteArray &xml, const SheetContext &context, SheetCells *cells, QString *error)
{
    if (nestedTooDeep(xml, error)) return Outcome::Damaged;
    if (context.plainXmlReader) {
        const QString noError = *error;
        PlainXmlReader plain(xml);
        const Outcome outcome = WorksheetParser<PlainXmlReader>(plain, context, cells, error).parse();
        if (!plain.hasError()) return outcome;
        *cells = SheetCells();
        *error = noError;
    }
    QXmlStreamReader reader(xml);
    return WorksheetParser<QXmlStreamReader>(reader, context, cells, error).parse();
}

int chartValuesColumn(const QByteArray &xml)
{
    QString ignored;
    if (nestedTooDeep(xml, &ignored)) return 0;
    QXmlStreamReader reader(xml);
    bool inValues = false;
    while (nextToken(reader)) {
        if (reader.isEndElement() && reader.name() == u"val") inValues = false;
        if (!reader.isStartElement()) continue;
        if (reader.name() == u"val") {
            inValues = true;
        } else if (inValues && reader.name() == u"f") {
            const QString formula = reader.readElementText();
            // The first cell of the range after the sheet's name, without its "$" marks.
            QString first = formula.mid(formula.lastIndexOf(u'!') + 1).section(u':', 0, 0);
            first.remove(u'$');
            int row = 0;
            int column = 0;
            return parseReference(first, &row, &column) ? column : 0;
        }
    }
    return 0;
}

} // namespace XlsxParts
