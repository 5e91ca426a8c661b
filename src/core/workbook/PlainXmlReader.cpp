#include "core/workbook/PlainXmlReader.h"

#include <cstring>

namespace
{

bool isSpace(uchar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(uchar c)
{
    const uchar lower = c | 0x20;
    return (lower >= 'a' && lower <= 'z') || c == '_';
}

bool isNameChar(uchar c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

// A character XML lets a document hold.
bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool isAscii(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    quint64 any = 0;
    for (; at + 8 <= size; at += 8) {
        quint64 word;
        std::memcpy(&word, data + at, sizeof word);
        any |= word;
    }
    for (; at < size; ++at)
        any |= uchar(data[at]);
    return (any & 0x8080808080808080ULL) == 0;
}

int digitValue(uchar c, bool hex)
{
    if (c >= '0' && c <= '9') return c - '0';
    const uchar lower = c | 0x20;
    if (hex && lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

// Namespaces no prefix may be bound to (XML's own), which QXmlStreamReader refuses.
const char *const ReservedNamespaces[] = {"http://www.w3.org/XML/1998/namespace",
                                          "http://www.w3.org/2000/xmlns/"};

} // namespace

QStringView PlainXmlReader::Attributes::value(QLatin1StringView qualifiedName) const
{
    for (const Attribute &a : *this)
        if (a.qualifiedName() == qualifiedName) return a.value();
    return {};
}

PlainXmlReader::TokenType PlainXmlReader::giveUp()
{
    m_gaveUp = true;
    m_token = QXmlStreamReader::Invalid;
    return m_token;
}

PlainXmlReader::TokenType PlainXmlReader::readNext()
{
    if (m_gaveUp || m_token == QXmlStreamReader::EndDocument) return giveUp();
    if (m_token == QXmlStreamReader::NoToken) return startDocument();
    m_attributes.clear();
    if (m_endPending) {
        m_endPending = false;
        return endElement();
    }
    const char *data = m_xml.constData();
    if (m_open.empty()) { // before or after the root element: white space only
        skipSpace();
        if (m_at >= m_xml.size()) {
            if (!m_rootClosed) return giveUp();
            m_token = QXmlStreamReader::EndDocument;
            return m_token;
        }
        if (m_rootClosed || data[m_at] != '<') return giveUp();
    }
    if (m_at >= m_xml.size()) return giveUp(); // the root element is not closed
    if (data[m_at] != '<') return characters();
    if (m_at + 1 < m_xml.size() && data[m_at + 1] == '/') {
        m_at += 2;
        QualifiedName name;
        if (!scanName(&name)) return giveUp();
        skipSpace();
        if (m_at >= m_xml.size() || data[m_at] != '>') return giveUp();
        ++m_at;
        if (m_open.empty() || !equal(name.whole, m_open.back().whole)) return giveUp();
        return endElement();
    }
    if (m_at + 1 < m_xml.size() && isNameStart(uchar(data[m_at + 1]))) return startElement();
    return giveUp(); // a comment, CDATA, a processing instruction, a document type
}

PlainXmlReader::TokenType PlainXmlReader::startDocument()
{
    // QXmlStreamReader decodes the whole document before its first token, so that a byte
    // it cannot decode anywhere fails it at once: only ASCII is read here.
    if (!isAscii(m_xml)) return giveUp();
    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>, encoding and standalone optional
    if (m_xml.startsWith("<?")) {
        QByteArrayView value;
        if (!skip("<?xml") || !declarationPart("version", &value) || value != "1.0") return giveUp();
        if (declarationPart("encoding", &value) && value.compare("UTF-8", Qt::CaseInsensitive) != 0)
            return giveUp();
        if (declarationPart("standalone", &value) && value != "yes" && value != "no") return giveUp();
        skipSpace();
        if (m_gaveUp || !skip("?>")) return giveUp();
    }
    m_token = QXmlStreamReader::StartDocument;
    return m_token;
}

bool PlainXmlReader::skip(const char *text)
{
    const QByteArrayView expected(text);
    if (m_xml.size() - m_at < expected.size() ||
        QByteArrayView(m_xml.constData() + m_at, expected.size()) != expected)
        return false;
    m_at += expected.size();
    return true;
}

bool PlainXmlReader::declarationPart(const char *name, QByteArrayView *value)
{
    const qsizetype start = m_at;
    if (!skipSpace() || !skip(name)) {
        m_at = start;
        return false;
    }
    const char *data = m_xml.constData();
    skipSpace();
    const bool equals = skip("=");
    skipSpace();
    const char quote = m_at < m_xml.size() ? data[m_at] : '\0';
    const qsizetype begin = m_at + 1;
    const qsizetype end = equals && (quote == '"' || quote == '\'') ? m_xml.indexOf(quote, begin) : -1;
    if (end < 0) {
        giveUp();
        return false;
    }
    *value = QByteArrayView(data + begin, end - begin);
    m_at = end + 1;
    return true;
}

PlainXmlReader::TokenType PlainXmlReader::startElement()
{
    struct RawAttribute {
        QualifiedName name;
        Range value;
        bool declaration = false; // xmlns or xmlns:prefix
    };
    const char *data = m_xml.constData();
    const qsizetype size = m_xml.size();
    const qsizetype tagBegin = m_at;
    ++m_at;
    QualifiedName element;
    if (!scanName(&element)) return giveUp();
    QVarLengthArray<RawAttribute, 8> raw;
    bool empty = false;
    for (;;) {
        const bool spaced = skipSpace();
        if (m_at >= size) return giveUp();
        if (data[m_at] == '>') {
            ++m_at;
            break;
        }
        if (data[m_at] == '/') {
            if (m_at + 1 >= size || data[m_at + 1] != '>') return giveUp();
            m_at += 2;
            empty = true;
            break;
        }
        RawAttribute a;
        if (!spaced || !scanName(&a.name)) return giveUp();
        skipSpace();
        if (m_at >= size || data[m_at] != '=') return giveUp();
        ++m_at;
        skipSpace();
        if (m_at >= size || (data[m_at] != '"' && data[m_at] != '\'')) return giveUp();
        const char quote = data[m_at++];
        a.value.begin = m_at;
        for (;;) {
            if (m_at >= size) return giveUp();
            const uchar c = uchar(data[m_at]);
            if (c == uchar(quote)) break;
            // White space other than blanks would be normalised; "<" is not allowed.
            if (c == '<' || c < 0x20) return giveUp();
            if (c == '&') {
                m_at = scanReference(m_at, nullptr);
                if (m_at < 0) return giveUp();
                continue;
            }
            ++m_at;
        }
        a.value.size = m_at - a.value.begin;
        ++m_at;
        a.declaration = a.name.prefix.size > 0 ? equal(a.name.prefix, "xmlns") : equal(a.name.local, "xmlns");
        raw.push_back(a);
    }

    // Namespace declarations count for the element's own name and attributes.
    const qsizetype depth = qsizetype(m_open.size()) + 1;
    for (const RawAttribute &a : raw) {
        if (!a.declaration) continue;
        if (QByteArrayView(data + a.value.begin, a.value.size).contains('&')) return giveUp();
        for (const char *reserved : ReservedNamespaces)
            if (equal(a.value, reserved)) return giveUp();
        if (a.name.prefix.size == 0) continue; // the default namespace
        if (a.value.size == 0 || equal(a.name.local, "xml") || equal(a.name.local, "xmlns")) return giveUp();
        m_declarations.push_back({a.name.local, depth});
    }
    if (element.prefix.size > 0 && (equal(element.prefix, "xml") || !isDeclared(element.prefix)))
        return giveUp();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const RawAttribute &a = raw[i];
        if (!a.declaration && a.name.prefix.size > 0 && !equal(a.name.prefix, "xml") &&
            !isDeclared(a.name.prefix))
            return giveUp();
        for (qsizetype j = 0; j < i; ++j) {
            const RawAttribute &b = raw[j];
            if (equal(a.name.whole, b.name.whole)) return giveUp();
            if (!a.declaration && !b.declaration && equal(a.name.local, b.name.local)) return giveUp();
        }
    }

    // The attributes' names and values as UTF-16, in one buffer (nothing gets longer than in
    // the tag); the views into it are made once it is filled.
    if (m_attributeText.size() < m_at - tagBegin) m_attributeText.resize(m_at - tagBegin);
    QChar *const text = m_attributeText.data();
    QChar *out = text;
    struct Offsets {
        qsizetype name, local, value, end;
    };
    QVarLengthArray<Offsets, 8> offsets;
    for (const RawAttribute &a : raw) {
        if (a.declaration) continue;
        Offsets o{};
        o.name = out - text;
        out = decode(a.name.whole, out);
        o.local = o.name + (a.name.local.begin - a.name.whole.begin);
        o.value = out - text;
        out = decode(a.value, out);
        o.end = out - text;
        offsets.push_back(o);
    }
    for (const Offsets &o : offsets) {
        Attribute a;
        a.m_qualifiedName = QStringView(text + o.name, o.value - o.name);
        a.m_name = QStringView(text + o.local, o.value - o.local);
        a.m_value = QStringView(text + o.value, o.end - o.value);
        m_attributes.push_back(a);
    }

    m_open.push_back(element);
    setName(element.local);
    m_endPending = empty;
    m_token = QXmlStreamReader::StartElement;
    return m_token;
}

PlainXmlReader::TokenType PlainXmlReader::endElement()
{
    const qsizetype depth = qsizetype(m_open.size());
    while (!m_declarations.empty() && m_declarations.back().depth == depth)
        m_declarations.pop_back();
    setName(m_open.back().local);
    m_open.pop_back();
    m_rootClosed = m_open.empty();
    m_token = QXmlStreamReader::EndElement;
    return m_token;
}

PlainXmlReader::TokenType PlainXmlReader::characters()
{
    const char *data = m_xml.constData();
    const qsizetype begin = m_at;
    while (m_at < m_xml.size()) {
        const uchar c = uchar(data[m_at]);
        if (c == '<') break;
        if (c < 0x20 && !isSpace(c)) return giveUp();
        if (c == '&') {
            m_at = scanReference(m_at, nullptr);
            if (m_at < 0) return giveUp();
            continue;
        }
        if (c == '>' && m_at - begin >= 2 && data[m_at - 1] == ']' && data[m_at - 2] == ']') return giveUp();
        ++m_at;
    }
    if (m_at >= m_xml.size()) return giveUp(); // the root element is not closed
    if (m_text.size() < m_at - begin) m_text.resize(m_at - begin);
    m_textSize = decode({begin, m_at - begin}, m_text.data()) - m_text.constData();
    m_token = QXmlStreamReader::Characters;
    return m_token;
}

QChar *PlainXmlReader::decode(Range range, QChar *out) const
{
    const char *data = m_xml.constData();
    const qsizetype end = range.begin + range.size;
    for (qsizetype at = range.begin; at < end;) {
        const char c = data[at];
        if (c == '&') {
            char32_t character = 0;
            at = scanReference(at, &character);
            if (QChar::requiresSurrogates(character)) {
                *out++ = QChar(QChar::highSurrogate(character));
                *out++ = QChar(QChar::lowSurrogate(character));
            } else {
                *out++ = QChar(char16_t(character));
            }
        } else if (c == '\r') { // line ends read as "\n", whether written "\r\n" or "\r"
            *out++ = u'\n';
            at += at + 1 < end && data[at + 1] == '\n' ? 2 : 1;
        } else {
            *out++ = QLatin1Char(c);
            ++at;
        }
    }
    return out;
}

bool PlainXmlReader::scanName(QualifiedName *name)
{
    const char *data = m_xml.constData();
    const qsizetype size = m_xml.size();
    const auto part = [&](Range *range) {
        range->begin = m_at;
        if (m_at >= size || !isNameStart(uchar(data[m_at]))) return false;
        ++m_at;
        while (m_at < size && isNameChar(uchar(data[m_at])))
            ++m_at;
        range->size = m_at - range->begin;
        return true;
    };
    *name = {};
    Range first;
    if (!part(&first)) return false;
    if (m_at < size && data[m_at] == ':') {
        ++m_at;
        name->prefix = first;
        if (!part(&name->local) || (m_at < size && data[m_at] == ':')) return false;
    } else {
        name->local = first;
    }
    name->whole = {first.begin, m_at - first.begin};
    return true;
}

bool PlainXmlReader::skipSpace()
{
    const qsizetype start = m_at;
    while (m_at < m_xml.size() && isSpace(uchar(m_xml.at(m_at))))
        ++m_at;
    return m_at > start;
}

qsizetype PlainXmlReader::scanReference(qsizetype at, char32_t *character) const
{
    const char *data = m_xml.constData();
    const qsizetype size = m_xml.size();
    ++at;
    if (at < size && data[at] == '#') {
        ++at;
        const bool hex = at < size && data[at] == 'x';
        if (hex) ++at;
        uint code = 0;
        qsizetype digits = 0;
        for (; at < size; ++at, ++digits) {
            const int digit = digitValue(uchar(data[at]), hex);
            if (digit < 0) break;
            code = code * (hex ? 16 : 10) + uint(digit);
            if (code > 0x10FFFF) return -1;
        }
        if (digits == 0 || at >= size || data[at] != ';' || !isXmlChar(code)) return -1;
        if (character) *character = code;
        return at + 1;
    }
    static const struct {
        QByteArrayView name;
        char32_t character;
    } entities[] = {{"lt;", U'<'}, {"gt;", U'>'}, {"amp;", U'&'}, {"quot;", U'"'}, {"apos;", U'\''}};
    for (const auto &entity : entities) {
        if (size - at >= entity.name.size() && QByteArrayView(data + at, entity.name.size()) == entity.name) {
            if (character) *character = entity.character;
            return at + entity.name.size();
        }
    }
    return -1;
}

bool PlainXmlReader::isDeclared(Range prefix) const
{
    for (auto d = m_declarations.rbegin(); d != m_declarations.rend(); ++d)
        if (equal(d->prefix, prefix)) return true;
    return false;
}

bool PlainXmlReader::equal(Range a, Range b) const
{
    return a.size == b.size &&
           std::memcmp(m_xml.constData() + a.begin, m_xml.constData() + b.begin, std::size_t(a.size)) == 0;
}

bool PlainXmlReader::equal(Range a, const char *latin1) const
{
    return QByteArrayView(m_xml.constData() + a.begin, a.size) == QByteArrayView(latin1);
}

void PlainXmlReader::setName(Range local)
{
    if (m_name.size() < local.size) m_name.resize(local.size);
    m_nameSize = decode(local, m_name.data()) - m_name.constData();
}

void PlainXmlReader::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0 && readNext() != QXmlStreamReader::Invalid) {
        if (isEndElement())
            --depth;
        else if (isStartElement())
            ++depth;
    }
}

QString PlainXmlReader::readElementText()
{
    QString text;
    for (;;) {
        switch (readNext()) {
        case QXmlStreamReader::Characters:
            text += this->text();
            break;
        case QXmlStreamReader::EndElement:
            return text;
        default: // a child element, which QXmlStreamReader takes for an error
            giveUp();
            return {};
        }
    }
}
