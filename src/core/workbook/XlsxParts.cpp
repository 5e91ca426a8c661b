#include "core/workbook/XlsxParts.h"

#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>

#include "core/workbook/CellNumberFormats.h"
#include "core/workbook/SerialDate.h"

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

Outcome damaged(QString *error, const QString &detail)
{
    *error = detail;
    return Outcome::Damaged;
}

bool xmlFailed(const QXmlStreamReader &xml, QString *error)
{
    if (!xml.hasError()) return false;
    *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return true;
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
QString readRichText(QXmlStreamReader &xml)
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
        const char16_t ch = reference.at(i).toUpper().unicode();
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

} // namespace

bool parseRelationships(const QByteArray &xml, const QString &sourcePart, std::vector<Relationship> *out,
                        QString *error)
{
    out->clear();
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
    QHash<int, SheetCell::NumberFormat> custom;
    std::vector<int> formatIds;
    bool inCellFormats = false;
    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (reader.isEndElement() && reader.name() == u"cellXfs") inCellFormats = false;
        if (!reader.isStartElement()) continue;
        const QStringView name = reader.name();
        if (name == u"numFmt") {
            const int id = reader.attributes().value(QLatin1String("numFmtId")).toInt();
            custom.insert(id,
                          CellNumberFormats::ofCode(reader.attributes().value(QLatin1String("formatCode"))));
        } else if (name == u"cellXfs") {
            inCellFormats = true;
        } else if (name == u"xf" && inCellFormats) {
            formatIds.push_back(reader.attributes().value(QLatin1String("numFmtId")).toInt());
        }
    }
    if (xmlFailed(reader, error)) return false;
    out->reserve(formatIds.size());
    for (int id : formatIds)
        out->push_back(custom.contains(id) ? custom.value(id) : CellNumberFormats::ofBuiltIn(id));
    return true;
}

Outcome parseSharedStrings(const QByteArray &xml, int maxStrings, std::vector<QString> *out, QString *error)
{
    out->clear();
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
    const std::vector<QString> noStrings;
    const std::vector<QString> &strings = context.sharedStrings ? *context.sharedStrings : noStrings;
    const CellStyles noStyles;
    const CellStyles &styles = context.styles ? *context.styles : noStyles;
    int stored = 0;
    int row = 0;
    int column = 0;
    bool inSheetData = false;

    QXmlStreamReader reader(xml);
    while (nextToken(reader)) {
        if (reader.isEndElement() && reader.name() == u"sheetData") inSheetData = false;
        if (!reader.isStartElement()) continue;
        const QStringView name = reader.name();
        if (name == u"sheetData") {
            inSheetData = true;
            continue;
        }
        if (!inSheetData) continue;
        if (name == u"row") {
            const QStringView number = reader.attributes().value(QLatin1String("r"));
            if (number.isEmpty()) {
                ++row;
            } else if (!parseRowNumber(number, &row)) {
                return damaged(error, QStringLiteral("row number \"%1\" lies outside the sheet").arg(number));
            }
            if (row > MaxRow) return damaged(error, QStringLiteral("more rows than a sheet has"));
            column = 0;
            continue;
        }
        if (name != u"c") continue;

        const QXmlStreamAttributes attributes = reader.attributes();
        const QString reference = attributes.value(QLatin1String("r")).toString();
        if (reference.isEmpty()) {
            if (row == 0) row = 1;
            if (++column > MaxColumn) return damaged(error, QStringLiteral("more columns than a sheet has"));
        } else if (!parseReference(reference, &row, &column)) {
            return damaged(error,
                           QStringLiteral("cell reference \"%1\" lies outside the sheet").arg(reference));
        }
        const ValueType type = valueType(attributes.value(QLatin1String("t")));
        const int style = attributes.value(QLatin1String("s")).toInt();
        const auto cellFailed = [&](QStringView what, const QString &value) {
            const QString where =
                reference.isEmpty() ? QStringLiteral("R%1C%2").arg(row).arg(column) : reference;
            return damaged(error,
                           QStringLiteral("cell %1 holds \"%2\" where %3 belongs").arg(where, value, what));
        };

        QString value;
        bool hasValue = false;
        bool hasInline = false;
        while (nextToken(reader) && !reader.isEndElement()) {
            if (!reader.isStartElement()) continue;
            if (reader.name() == u"v") {
                value = reader.readElementText();
                hasValue = true;
            } else if (reader.name() == u"is") {
                value = readRichText(reader);
                hasInline = true;
            } else {
                reader.skipCurrentElement(); // the formula and extensions
            }
        }
        if (reader.hasError()) break;
        if (!hasValue && !hasInline) continue; // a formatted blank, or a formula never calculated

        SheetCell cell;
        const SheetCell::NumberFormat format = style >= 0 && style < int(styles.size())
                                                   ? styles[std::size_t(style)]
                                                   : SheetCell::NumberFormat::General;
        if (hasInline && type == ValueType::InlineText) {
            cell.type = SheetCell::Type::Text;
            cell.text = value;
        } else if (hasInline) {
            continue; // an inline string on a cell of another type: nothing a program writes
        } else {
            switch (type) {
            case ValueType::SharedString: {
                bool ok = false;
                const int index = value.trimmed().toInt(&ok);
                if (!ok || index < 0 || index >= int(strings.size()))
                    return cellFailed(QStringLiteral("one of the %1 shared strings").arg(strings.size()),
                                      value);
                cell.type = SheetCell::Type::Text;
                cell.text = strings[std::size_t(index)];
                break;
            }
            case ValueType::FormulaText:
            case ValueType::InlineText:
                cell.type = SheetCell::Type::Text;
                cell.text = decodeEscapes(value);
                break;
            case ValueType::Error:
                cell.type = SheetCell::Type::Error;
                cell.text = value;
                break;
            case ValueType::Boolean:
                cell.type = SheetCell::Type::Boolean;
                cell.number = isTrue(value.trimmed()) ? 1 : 0;
                break;
            case ValueType::IsoDate: {
                // An ISO 8601 moment, whatever the workbook's date system.
                const QDateTime when = QDateTime::fromString(value.trimmed(), Qt::ISODateWithMs);
                if (!when.isValid()) return cellFailed(u"a date", value);
                cell.type = SheetCell::Type::Number;
                cell.number = SerialDate::fromDateTime(when);
                cell.format =
                    format == SheetCell::NumberFormat::General ? SheetCell::NumberFormat::DateTime : format;
                break;
            }
            case ValueType::Number: {
                bool ok = false;
                cell.number = value.toDouble(&ok);
                if (!ok || !std::isfinite(cell.number)) return cellFailed(u"a number", value);
                cell.type = SheetCell::Type::Number;
                cell.format = format;
                if (context.date1904 && format != SheetCell::NumberFormat::General)
                    cell.number += SerialDate::Offset1904;
                break;
            }
            }
        }
        if (++stored > context.maxCells) {
            *error = QStringLiteral("more than %1 cells").arg(context.maxCells);
            return Outcome::OverLimit;
        }
        cells->set(row, column, cell);
    }
    return xmlFailed(reader, error) ? Outcome::Damaged : Outcome::Ok;
}

} // namespace XlsxParts
