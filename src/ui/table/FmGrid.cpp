#include "ui/table/FmGrid.h"

#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <cmath>
#include <numeric>

#include "core/record/RecordStore.h"
#include "core/settings/UserSettings.h"

namespace
{

// The client height the window's controls are drawn for, in twips.
constexpr double DesignInnerHeight = 3420;

} // namespace

// Paints the cells itself: the data-row colour, the text centred without the style's margins
// (the narrow base widths leave no room for them) and, for the inset and raised styles, a
// bevel round each cell; flat lines are the view's own grid.
class GridCellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setLook(GridStyle::LineStyle style, const QColor &rowColor)
    {
        m_style = style;
        m_rowColor = rowColor;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight().color() : m_rowColor);
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        painter->setFont(option.font);
        painter->drawText(option.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
        if (m_style != GridStyle::LineStyle::Inset && m_style != GridStyle::LineStyle::Raised) return;
        const QRect r = option.rect.adjusted(0, 0, -1, -1);
        const bool raised = m_style == GridStyle::LineStyle::Raised;
        const QColor light(Qt::white);
        const QColor dark(Qt::gray);
        painter->save();
        painter->setPen(raised ? light : dark);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(raised ? dark : light);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }

private:
    GridStyle::LineStyle m_style = GridStyle::LineStyle::Flat;
    QColor m_rowColor = Qt::white;
};

FmGrid::FmGrid(RecordStore &record, const UserSettings &settings, QWidget *parent)
    : QWidget(parent), m_record(record), m_settings(settings),
      m_layout(QSizeF(GridStyle::ReferenceInnerWidth, DesignInnerHeight)), m_view(new QTableView(this)),
      m_delegate(new GridCellDelegate(m_view))
{
    setObjectName(QStringLiteral("FmGrid"));
    setWindowTitle(tr("Table"));

    m_view->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_view->setModel(&m_record);
    m_view->setItemDelegate(m_delegate);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setWordWrap(false);
    // Scrolling by whole rows and columns makes the scroll bars' values the first visible
    // row and column, as the core counts them.
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    m_view->verticalHeader()->hide();
    // One fixed height for every row keeps a table of 9,999 rows as quick as an empty one.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_view->horizontalHeader()->setHighlightSections(false);

    // The grid fills the window; every font of the window is size 8 whatever its size.
    m_layout.add(m_view, {0, 0, GridStyle::ReferenceInnerWidth, DesignInnerHeight});
    m_layout.setFixedPointSize(FontPoints);
    QFont font = m_view->font();
    font.setPointSizeF(FontPoints);
    m_view->setFont(font);
    // The header may carry the platform's own header font, which the view's does not override.
    m_view->horizontalHeader()->setFont(font);
    m_view->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);

    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(0);
    connect(&m_followTimer, &QTimer::timeout, this, &FmGrid::followViewport);
    connect(&m_record, &RecordStore::viewportChanged, this, &FmGrid::scheduleFollow);
    connect(&m_settings, &UserSettings::optionsChanged, this, &FmGrid::applyOptions);
    connect(m_view->verticalScrollBar(), &QScrollBar::actionTriggered, this, &FmGrid::onUserScroll);
    connect(m_view->horizontalScrollBar(), &QScrollBar::actionTriggered, this, &FmGrid::onUserScroll);

    applyOptions();
    applyColumnWidths();
}

void FmGrid::applyOptions()
{
    const Settings &settings = m_settings.values();
    m_lineStyle = GridStyle::lineStyle(settings);
    m_rowColor = GridStyle::dataRowColor(settings);
    m_view->setShowGrid(m_lineStyle == GridStyle::LineStyle::Flat);
    m_view->setGridStyle(Qt::SolidLine);
    m_delegate->setLook(m_lineStyle, m_rowColor);
    m_view->viewport()->update();
}

void FmGrid::applyColumnWidths()
{
    // Base width x (inner width / 6450) in twips is base x inner pixels / 6450 in pixels.
    const double ratio = GridStyle::widthRatio(width());
    int widths[RecordStore::ColumnCount];
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        widths[column] = std::max(1, int(std::lround(GridStyle::columnWidth(column, ratio))));
    // Scrolled to its end, the view puts the last column at its right edge: the last column
    // takes the room the trailing whole columns leave, so no column is shown cut at the left.
    const int room = m_view->viewport()->width();
    int trailing = 0;
    for (int column = RecordStore::ColumnCount - 1; column >= 0 && trailing + widths[column] <= room;
         --column)
        trailing += widths[column];
    if (trailing > 0 && trailing < room &&
        trailing < std::accumulate(widths, widths + RecordStore::ColumnCount, 0))
        widths[RecordStore::ColumnCount - 1] += room - trailing;
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        m_view->setColumnWidth(column, widths[column]);
}

void FmGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply(event->size(), logicalDpiX());
    applyColumnWidths();
}

void FmGrid::scheduleFollow()
{
    if (!m_followTimer.isActive()) m_followTimer.start();
}

void FmGrid::followViewport()
{
    const RecordStore &record = m_record;
    m_view->verticalScrollBar()->setValue(record.firstVisibleRow() - 1);
    m_view->horizontalScrollBar()->setValue(record.firstVisibleColumn());
}

void FmGrid::onUserScroll()
{
    // The new position is known only once the action has been applied.
    QTimer::singleShot(0, this, [this] {
        RecordStore &record = m_record;
        const int row = m_view->verticalScrollBar()->value() + 1;
        const int column = m_view->horizontalScrollBar()->value();
        const QSignalBlocker blocker(&record);
        record.setFirstVisibleRow(row);
        record.setFirstVisibleColumn(column);
    });
}
