#include "ui/power/FmPower.h"

#include <QLabel>
#include <QResizeEvent>

#include "core/power/PowerCostMonitor.h"

namespace
{

constexpr qreal TextPoints = 9;

// Two columns of four rows: the channel and its rates on the left, the time and the charge
// on the right, where the eye looks for the result.
struct Cell {
    QRectF caption;
    QRectF value;
};

Cell cellOf(int field)
{
    constexpr double Top = 60, RowHeight = 250, Gap = 0;
    constexpr double LeftCaptionX = 60, LeftCaptionW = 1380, LeftValueX = 1460, LeftValueW = 1560;
    constexpr double RightCaptionX = 3140, RightCaptionW = 1900, RightValueX = 5060, RightValueW = 1360;
    // Channel, serial, place, V on the left; P.F, unit price, time, charge on the right.
    const bool left = field < 4;
    const int row = left ? field : field - 4;
    const double y = Top + row * (RowHeight + Gap);
    if (left)
        return {{LeftCaptionX, y, LeftCaptionW, RowHeight - 20}, {LeftValueX, y, LeftValueW, RowHeight - 20}};
    return {{RightCaptionX, y, RightCaptionW, RowHeight - 20}, {RightValueX, y, RightValueW, RowHeight - 20}};
}

} // namespace

FmPower::FmPower(const PowerCostMonitor &monitor, QWidget *parent)
    : QWidget(parent), m_monitor(monitor), m_layout(QSizeF(DesignWidth, DesignHeight))
{
    setObjectName(QStringLiteral("FmPower"));
    setWindowTitle(PowerCostMonitor::windowCaption());
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i) {
        const Cell cell = cellOf(i);
        auto *caption = new QLabel(PowerCostMonitor::caption(i), this);
        caption->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_layout.add(caption, cell.caption, TextPoints);
        auto *value = new QLabel(this);
        value->setObjectName(QStringLiteral("Label2(%1)").arg(i));
        value->setAlignment(Qt::AlignCenter);
        value->setFrameShape(QFrame::StyledPanel);
        value->setFrameShadow(QFrame::Sunken);
        value->setAutoFillBackground(true);
        QPalette palette = value->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Base));
        value->setPalette(palette);
        m_layout.add(value, cell.value, TextPoints);
        m_captions[std::size_t(i)] = caption;
        m_values[std::size_t(i)] = value;
    }
    connect(&m_monitor, &PowerCostMonitor::valuesChanged, this, &FmPower::render);
    render();
}

void FmPower::render()
{
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i)
        m_values[std::size_t(i)]->setText(m_monitor.value(i));
}

void FmPower::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply(event->size(), logicalDpiX());
}
