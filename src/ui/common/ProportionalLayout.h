#pragma once
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QWidget>
#include <vector>

// Places a window's fields by ratios of the window's design client size, as the fields were
// drawn at that size: each field keeps its design rectangle (in twips) and is scaled with the
// client area, and its font either follows the width ratio or stays at one fixed size.
// Scaling always starts from the design values, so repeated resizes do not drift.
class ProportionalLayout
{
public:
    explicit ProportionalLayout(const QSizeF &designSizeTwips);

    // A field with its design rectangle; `designPointSize` 0 leaves its font alone.
    void add(QWidget *field, const QRectF &designRectTwips, qreal designPointSize = 0);
    // Fonts of every field at this size whatever the window's size (0 = scale them).
    void setFixedPointSize(qreal pointSize) { m_fixedPointSize = pointSize; }

    // Lays out for a client area of `clientPixels` on a screen of `dpiX` logical dots per inch.
    void apply(const QSize &clientPixels, double dpiX);

    // The width ratio of the last apply(): current client width / design width.
    double widthRatio() const { return m_widthRatio; }

private:
    struct Field {
        QPointer<QWidget> widget;
        QRectF designRect;
        qreal designPointSize;
    };
    QSizeF m_designSize;
    std::vector<Field> m_fields;
    qreal m_fixedPointSize = 0;
    double m_widthRatio = 1;
};
