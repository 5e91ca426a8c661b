#include "ui/printing/QtSvgGraphWriter.h"

#include <QCoreApplication>

#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

QString QtSvgGraphWriter::writeSvg(const QString &path, const QSize &size, const DrawGraphPage &drawPage)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Graph"));
        QPainter painter;
        if (!painter.begin(&generator))
            return QCoreApplication::translate("QtSvgGraphWriter", "The SVG drawing could not be started.");
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        drawPage(painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
    }
    if (!file.commit()) return file.errorString();
    return {};
}
