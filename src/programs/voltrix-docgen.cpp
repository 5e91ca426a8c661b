// Turns a Markdown document into an A4 PDF (QTextDocument to QPdfWriter): the build makes the
// program's help documents with it.
//
//   voltrix-docgen INPUT.md OUTPUT.pdf TITLE

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

int main(int argc, char **argv)
{
    // The build runs this without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4) {
        err << "usage: voltrix-docgen INPUT.md OUTPUT.pdf TITLE\n";
        return 2;
    }

    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        err << "cannot read " << args.at(1) << ": " << input.errorString() << '\n';
        return 1;
    }
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setMarkdown(QString::fromUtf8(input.readAll()));

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
