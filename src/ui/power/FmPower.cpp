#include "ui/power/FmPower.h"

#include <QLabel>
#include <QResizeEvent>

#include "core/power/PowerCostMonitor.h"

namespace
{

constexpr qreal TextPoints = 9;

// Two columns of four rows: the channel, its meter and the voltage on the left; the power
// factor, the price, the time and the charge on the right, where the eye looks for the result.
struct Cell {
    QRectF caption;
    QRectF value;
};

Cell cellOf(int field)
{
    constexpr double Top = 60, RowPitch = 250, RowHeight = 230;
    struct Column {
        double captionX, captionWidth, valueX, valueWidth;
    };
    constexpr Column Left{60, 1380, 1460, 1560};
    constexpr Column Right{3140, 1900, 5060, 1360};
    const Column &column = field < 4 ? Left : Right;
    const double y = Top + (field % 4) * RowPitch;
    return {{column.captionX, y, column.captionWidth, RowHeight},
            {column.valueX, y, column.valueWidth, RowHeight}};
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
