// Turns a Markdown document into an A4 PDF (QTextDocument to QPdfWriter): the build makes the
// program's help documents with it.
//
//   voltrix-docgen INPUT.md OUTPUT.pdf TITLE [FONT_FAMILY]
//
// FONT_FAMILY (default "DejaVu Sans") is the document's font; it must be installed, and every
// character of the document must have a glyph in it or in a font it falls back to. Otherwise
// the PDF would show empty boxes or silently drop the text, so nothing is written and the
// characters are named with their lines.

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

namespace
{

// "INPUT:LINE: U+XXXX 'c' has no glyph in FAMILY or any installed font" for each character
// that would not render; empty when all do.
QStringList missingGlyphs(const QString &text, const QFont &font, const QString &source)
{
    const QFontMetrics metrics(font);
    QStringList missing;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype line = 0; line < lines.size(); ++line) {
        for (const char32_t character : lines.at(line).toUcs4()) {
            if (character < 0x20 || metrics.inFontUcs4(character)) continue;
            const QString code = QString::number(uint(character), 16).toUpper().rightJustified(4, u'0');
            missing << QStringLiteral("%1:%2: U+%3 '%4' has no glyph in %5 or any installed font")
                           .arg(source)
                           .arg(line + 1)
                           .arg(code, QString::fromUcs4(&character, 1), font.family());
        }
    }
    return missing;
}

} // namespace

int main(int argc, char **argv)
{
    // The build runs this without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4 && args.size() != 5) {
        err << "usage: voltrix-docgen INPUT.md OUTPUT.pdf TITLE [FONT_FAMILY]\n";
        return 2;
    }

    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        err << "cannot read " << args.at(1) << ": " << input.errorString() << '\n';
        return 1;
    }
    const QString text = QString::fromUtf8(input.readAll());

    const QFont font(args.size() == 5 ? args.at(4) : QStringLiteral("DejaVu Sans"), 10);
    // Another family standing in would make the output depend on what else is installed.
    if (QFontInfo(font).family() != font.family()) {
        err << "the font " << font.family() << " is not installed (found " << QFontInfo(font).family()
            << " instead)\n";
        return 1;
    }
    if (const QStringList missing = missingGlyphs(text, font, args.at(1)); !missing.isEmpty()) {
        err << missing.join(QLatin1Char('\n')) << '\n';
        return 1;
    }

    QTextDocument document;
    document.setDefaultFont(font);
    document.setMarkdown(text);

    QPdfWriter writer(args.at(2));
    writer.setTitle(args.at(3));
    writer.setCreator(QStringLiteral("Voltrix"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
    document.print(&writer);

    if (!QFile::exists(args.at(2))) {
        err << "cannot write " << args.at(2) << '\n';
        return 1;
    }
    return 0;
}
