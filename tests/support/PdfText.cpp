#include "support/PdfText.h"

#include <QProcess>
#include <QXmlStreamReader>
#include <algorithm>

QStringList PdfPage::texts() const
{
    QStringList list;
    for (const PdfWord &word : words)
        list << word.text;
    return list;
}

const PdfWord *PdfPage::find(const QString &text) const
{
    const auto it =
        std::find_if(words.cbegin(), words.cend(), [&](const PdfWord &w) { return w.text == text; });
    return it == words.cend() ? nullptr : &*it;
}

QStringList PdfPage::lineOf(const QString &text) const
{
    const PdfWord *anchor = find(text);
    if (!anchor) return {};
    QList<PdfWord> line;
    for (const PdfWord &word : words)
        if (qAbs(word.box.center().y() - anchor->box.center().y()) < anchor->box.height() / 2) line << word;
    std::sort(line.begin(), line.end(),
              [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
    QStringList list;
    for (const PdfWord &word : line)
        list << word.text;
    return list;
}

QList<PdfPage> readPdfWords(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) return {};
    QList<PdfPage> pages;
    QXmlStreamReader xml(pdftotext.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto number = [&a](const char *name) { return a.value(QLatin1String(name)).toDouble(); };
        if (xml.name() == QLatin1String("page")) {
            pages.append({QSizeF(number("width"), number("height")), {}});
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const QRectF box(QPointF(number("xMin"), number("yMin")),
                             QPointF(number("xMax"), number("yMax")));
            pages.last().words.append({xml.readElementText(), box});
        }
    }
    return pages;
}
