#pragma once
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QXmlStreamReader>
#include <vector>

// A reader of plain XML with the part of QXmlStreamReader's interface that the worksheet
// parser uses, about five times faster: the worksheet of a full record is 7 MB of it.
//
// Plain XML here is ASCII, with an XML declaration of version 1.0 in UTF-8 or none, and no
// document type, comments, CDATA sections or processing instructions; element and attribute
// names are ASCII names with at most one prefix, which must be declared. Anything else, and
// any fault, makes the reader give up (hasError()) where QXmlStreamReader would go on or
// fail: the caller then reads the document with QXmlStreamReader. Up to where it gives up,
// the reader hands out the tokens, names, attributes and texts QXmlStreamReader would.
class PlainXmlReader
{
public:
    using TokenType = QXmlStreamReader::TokenType;

    class Attribute
    {
    public:
        QStringView name() const { return m_name; } // without its prefix
        QStringView qualifiedName() const { return m_qualifiedName; }
        QStringView value() const { return m_value; }

    private:
        friend class PlainXmlReader;
        QStringView m_name;
        QStringView m_qualifiedName;
        QStringView m_value;
    };
    class Attributes : public std::vector<Attribute>
    {
    public:
        QStringView value(QLatin1StringView qualifiedName) const;
    };

    // `xml` must outlive the reader.
    explicit PlainXmlReader(const QByteArray &xml) : m_xml(xml) {}

    TokenType readNext();
    bool isStartElement() const { return m_token == QXmlStreamReader::StartElement; }
    bool isEndElement() const { return m_token == QXmlStreamReader::EndElement; }
    bool isCharacters() const { return m_token == QXmlStreamReader::Characters; }
    bool atEnd() const { return m_token == QXmlStreamReader::EndDocument || m_gaveUp; }
    // True once the reader gave up: the document is not plain XML, or not well-formed.
    bool hasError() const { return m_gaveUp; }

    // The element's name without its prefix, at its start and at its end.
    QStringView name() const { return QStringView(m_name.constData(), m_nameSize); }
    const Attributes &attributes() const { return m_attributes; }
    QStringView text() const
    {
        return isCharacters() ? QStringView(m_text.constData(), m_textSize) : QStringView();
    }
    void skipCurrentElement();
    QString readElementText();

private:
    struct Range {
        qsizetype begin = 0;
        qsizetype size = 0;
    };
    struct QualifiedName {
        Range prefix; // empty without one
        Range local;
        Range whole;
    };
    struct Declaration {
        Range prefix;
        qsizetype depth = 0;
    };

    TokenType giveUp();
    TokenType startDocument();
    TokenType startElement();
    TokenType endElement();
    TokenType characters();
    bool skip(const char *text);
    // One pseudo-attribute ` name="value"` of the XML declaration; false, with nothing read,
    // when the next one is not `name` (or when the reader gave up on it).
    bool declarationPart(const char *name, QByteArrayView *value);
    bool scanName(QualifiedName *name);
    bool skipSpace();
    // The end of the entity or character reference at `at` (an "&"), and the character it
    // stands for; -1 when it is none that a document without a document type may hold.
    qsizetype scanReference(qsizetype at, char32_t *character) const;
    // Writes `range` (checked before) as UTF-16 from `out` on, references resolved and line
    // ends as "\n"; returns the end. Never longer than `range`.
    QChar *decode(Range range, QChar *out) const;
    bool isDeclared(Range prefix) const;
    bool equal(Range a, Range b) const;
    bool equal(Range a, const char *latin1) const;
    void setName(Range local);

    const QByteArray &m_xml;
    qsizetype m_at = 0;
    TokenType m_token = QXmlStreamReader::NoToken;
    bool m_gaveUp = false;
    bool m_endPending = false; // of an empty element "<x/>"
    bool m_rootClosed = false;
    std::vector<QualifiedName> m_open;
    std::vector<Declaration> m_declarations;
    // Buffers kept from token to token; each only grows.
    QString m_name;
    qsizetype m_nameSize = 0;
    QString m_text;
    qsizetype m_textSize = 0;
    QString m_attributeText; // what the views of m_attributes point into
    Attributes m_attributes;
};
