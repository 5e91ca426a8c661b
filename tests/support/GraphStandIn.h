#pragma once
#include <QPainter>

// Stands in for the graph's drawing routine: a red block over the top-left quarter and the word
// "STANDIN" in the middle, scaled to the target.
inline void drawStandIn(QPainter &painter, const QRectF &target)
{
    painter.save();
    painter.fillRect(QRectF(target.topLeft(), target.size() / 2), Qt::red);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qMax(1, int(target.height() / 10)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(target, Qt::AlignCenter, QStringLiteral("STANDIN"));
    painter.restore();
}
