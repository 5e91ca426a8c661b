#include "ui/common/ProportionalLayout.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double TwipsPerInch = 1440;
// Below this a font can no longer be read; a tiny window keeps its text legible-sized.
constexpr qreal SmallestPointSize = 4;

} // namespace

ProportionalLayout::ProportionalLayout(const QSizeF &designSizeTwips) : m_designSize(designSizeTwips) {}

void ProportionalLayout::add(QWidget *field, const QRectF &designRectTwips, qreal designPointSize)
{
    m_fields.push_back({field, designRectTwips, designPointSize});
}

void ProportionalLayout::apply(const QSize &clientPixels, double dpiX)
{
    if (m_designSize.isEmpty() || clientPixels.isEmpty()) return;
    const double toX = clientPixels.width() / m_designSize.width();
    const double toY = clientPixels.height() / m_designSize.height();
    const double designWidthPixels = m_designSize.width() * dpiX / TwipsPerInch;
    m_widthRatio = designWidthPixels > 0 ? clientPixels.width() / designWidthPixels : 1;

    for (const Field &field : m_fields) {
        if (!field.widget) continue;
        const QRectF &r = field.designRect;
        const int left = int(std::lround(r.left() * toX));
        const int top = int(std::lround(r.top() * toY));
        const int right = int(std::lround((r.left() + r.width()) * toX));
        const int bottom = int(std::lround((r.top() + r.height()) * toY));
        field.widget->setGeometry(left, top, right - left, bottom - top);

        qreal pointSize = m_fixedPointSize;
        if (pointSize <= 0 && field.designPointSize > 0)
            pointSize = std::max(SmallestPointSize, field.designPointSize * m_widthRatio);
        if (pointSize > 0) {
            QFont font = field.widget->font();
            if (!qFuzzyCompare(font.pointSizeF(), pointSize)) {
                font.setPointSizeF(pointSize);
                field.widget->setFont(font);
            }
        }
    }
}
