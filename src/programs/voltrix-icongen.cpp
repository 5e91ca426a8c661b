// Renders an SVG icon as square PNG images for the desktop's icon theme: the build makes the
// packaged program icons with it.
//
//   voltrix-icongen ICON.svg OUTPUT_FOLDER NAME SIZE...
//
// writes OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/NAME.png for every size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream err(stderr);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() < 4) {
        err << "usage: voltrix-icongen ICON.svg OUTPUT_FOLDER NAME SIZE...\n";
        return 2;
    }

    QSvgRenderer renderer(args.at(0));
    if (!renderer.isValid()) {
        err << "cannot read the SVG image " << args.at(0) << '\n';
        return 1;
    }
    const QDir output(args.at(1));
    const QString name = args.at(2);
    for (const QString &sizeText : args.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0) {
            err << "not a size: " << sizeText << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = output.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!output.mkpath(folder) || !image.save(path, "PNG")) {
            err << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
