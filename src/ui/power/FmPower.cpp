#include "ui/power/FmPower.h"

#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>

#include "core/energy/EnergyTable.h"
#include "core/followers/EnergyFollower.h"
#include "core/power/ElapsedTime.h"
#include "core/power/PowerCostMonitor.h"
#include "core/settings/UserSettings.h"

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

QTableWidget *newEnergyTable(const QString &name, QWidget *parent)
{
    auto *table = new QTableWidget(0, EnergyTable::ColumnCount, parent);
    table->setObjectName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    return table;
}

} // namespace

FmPower::FmPower(const Sources &sources, QWidget *parent)
    : QWidget(parent), m_(sources), m_layout(QSizeF(DesignWidth, DesignHeight))
{
    setObjectName(QStringLiteral("FmPower"));
    m_fields = new QWidget(this);
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i) {
        const Cell cell = cellOf(i);
        auto *caption = new QLabel(m_fields);
        caption->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_layout.add(caption, cell.caption, TextPoints);
        auto *value = new QLabel(m_fields);
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
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Energy"));
    m_energy = {newEnergyTable(QStringLiteral("EnergyRecord"), m_tabs),
                newEnergyTable(QStringLiteral("EnergyRun"), m_tabs)};
    m_tabs->addTab(m_energy[0], QString());
    m_tabs->addTab(m_energy[1], QString());

    retranslate();
    connect(&m_.monitor, &PowerCostMonitor::valuesChanged, this, &FmPower::render);
    connect(&m_.energy, &EnergyFollower::changed, this, &FmPower::renderEnergy);
    connect(&m_.settings, &UserSettings::setupChanged, this, &FmPower::renderEnergy);
    render();
}

void FmPower::retranslate()
{
    setWindowTitle(PowerCostMonitor::windowCaption());
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i)
        m_captions[std::size_t(i)]->setText(PowerCostMonitor::caption(i));
    m_tabs->setTabText(0, tr("Energy of the record"));
    m_tabs->setTabText(1, tr("Energy since Start"));
    QStringList captions;
    for (int c = 0; c < EnergyTable::ColumnCount; ++c)
        captions << EnergyTable::caption(c);
    for (QTableWidget *table : m_energy)
        table->setHorizontalHeaderLabels(captions);
    renderEnergy();
}

void FmPower::render()
{
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i)
        m_values[std::size_t(i)]->setText(m_.monitor.value(i));
}

void FmPower::renderEnergy()
{
    // Hidden, the window waits: it is rendered again when shown.
    if (!isVisible()) return;
    fillEnergy(m_energy[0], m_.energy.record());
    fillEnergy(m_energy[1], m_.energy.run());
}

void FmPower::fillEnergy(QTableWidget *table, const EnergyMeter &meter)
{
    const QList<EnergyTable::Row> rows = EnergyTable::rows(meter, m_.settings.values().channelNames());
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const EnergyTable::Row &row = rows[r];
        const QStringList texts{row.name,
                                row.voltageSource,
                                EnergyTable::kilowattHoursText(row.energy.kilowattHours),
                                EnergyTable::wattsText(row.energy.averageWatts()),
                                EnergyTable::costText(row.cost),
                                time_dhms(qint64(row.energy.seconds))};
        for (int c = 0; c < texts.size(); ++c) {
            QTableWidgetItem *item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c < 2 ? Qt::AlignLeft | Qt::AlignVCenter
                                             : Qt::AlignRight | Qt::AlignVCenter);
                table->setItem(r, c, item);
            }
            item->setText(texts[c]);
        }
    }
}

void FmPower::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The fields keep the proportions they were drawn in, at the window's width; the energy
    // table takes the height below them.
    const QSize size = event->size();
    const int fieldsHeight = std::min(size.height(), qRound(size.width() * DesignHeight / DesignWidth));
    m_fields->setGeometry(0, 0, size.width(), fieldsHeight);
    m_layout.apply(m_fields->size(), logicalDpiX());
    m_tabs->setGeometry(0, fieldsHeight, size.width(), size.height() - fieldsHeight);
}

void FmPower::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    renderEnergy();
}
