#pragma once
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// The words of a PDF file as poppler's pdftotext -bbox reads them back: text and box in
// points from the page's top-left corner.
struct PdfWord {
    QString text;
    QRectF box;
};

struct PdfPage {
    QSizeF size;
    QList<PdfWord> words;

    QStringList texts() const;
    // The words at the height of the first word `text` (same line), left to right; empty
    // when there is no such word.
    QStringList lineOf(const QString &text) const;
    const PdfWord *find(const QString &text) const; // first such word, or nullptr
};

// Empty when the file cannot be read or pdftotext is missing.
QList<PdfPage> readPdfWords(const QString &path);
