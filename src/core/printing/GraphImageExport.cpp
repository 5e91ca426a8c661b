#include "core/printing/GraphImageExport.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include "core/common/Prompts.h"
#include "core/printing/PrintTexts.h"

namespace GraphImageExport
{

namespace
{

constexpr int JpegQuality = 90;

QString writeRaster(const QString &path, const QSize &size, const DrawGraphPage &drawPage, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawPage(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QImageWriter writer(&file, format);
    if (qstrcmp(format, "jpg") == 0) writer.setQuality(JpegQuality);
    if (!writer.write(image)) return writer.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace

QString fileFilter()
{
    return QStringLiteral("BMP Windows Bitmap(*.bmp);;JPEG(*.jpg);;PNG(*.png);;SVG(*.svg)");
}

QString suggestedFileName(const QString &recordFileName, const QString &pageText)
{
    const qsizetype dot = recordFileName.lastIndexOf(u'.');
    return recordFileName.left(dot > 0 ? dot : recordFileName.size()).left(13) + QStringLiteral("_P") +
           pageText;
}

std::optional<Format> namedFormat(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return Format::Bmp;
    if (suffix == QLatin1String("jpg")) return Format::Jpeg;
    if (suffix == QLatin1String("png")) return Format::Png;
    if (suffix == QLatin1String("svg")) return Format::Svg;
    return std::nullopt;
}

Format formatOf(const QString &path)
{
    return namedFormat(path).value_or(Format::Bmp);
}

QString writeImage(const QString &path, const QSize &size, const DrawGraphPage &drawPage, SvgGraphWriter &svg)
{
    if (size.isEmpty()) return QCoreApplication::translate("GraphImageExport", "The graph has no size.");
    switch (formatOf(path)) {
    case Format::Jpeg:
        return writeRaster(path, size, drawPage, "jpg");
    case Format::Png:
        return writeRaster(path, size, drawPage, "png");
    case Format::Svg:
        return svg.writeSvg(path, size, drawPage);
    case Format::Bmp:
        break;
    }
    return writeRaster(path, size, drawPage, "bmp");
}

QString writeFailureText(const QString &path, const QString &reason)
{
    return QCoreApplication::translate("GraphImageExport", "The graph could not be saved to %1.\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString saveWithoutDialog(const QString &path, const GraphImageSource &source, const DrawGraphPage &drawPage,
                          SvgGraphWriter &svg)
{
    if (!source.graphVisible || source.recordEmpty) return PrintTexts::noGraph();
    const QString failure = writeImage(path, source.pictureSize, drawPage, svg);
    return failure.isEmpty() ? failure : writeFailureText(path, failure);
}

} // namespace GraphImageExport

void GraphImageSaver::saveGraph(const GraphImageSource &source, const DrawGraphPage &drawPage)
{
    using namespace GraphImageExport;
    if (!source.graphVisible || source.recordEmpty) {
        m_prompts.message(PrintTexts::noGraph(), applicationTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::None);
        return;
    }
    const QString suggested = suggestedFileName(source.recordFileName, source.pageText);
    const QString start = source.folder.isEmpty() ? suggested : QDir(source.folder).filePath(suggested);
    // The dialog gives the name with its suffix, its replacement already confirmed.
    const QString path = m_prompts.saveFileName(PrintTexts::saveFileTitle(), start, fileFilter());
    if (path.isEmpty()) return;
    const QString failure = writeImage(path, source.pictureSize, drawPage, m_svg);
    if (!failure.isEmpty())
        m_prompts.message(writeFailureText(path, failure), PrintTexts::saveFileTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
}
