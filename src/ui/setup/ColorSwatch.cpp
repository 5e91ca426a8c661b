#include "ui/setup/ColorSwatch.h"

#include <QMouseEvent>

ColorSwatch::ColorSwatch(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(48, 24);
}

void ColorSwatch::setColor(const QColor &color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

QColor ColorSwatch::color() const
{
    return palette().color(QPalette::Window);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT clicked();
}
