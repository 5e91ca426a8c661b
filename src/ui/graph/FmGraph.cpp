#include "ui/graph/FmGraph.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "core/commands/CommandTable.h"
#include "core/followers/GraphFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/graph/GraphPaging.h"
#include "core/graph/GraphZoom.h"
#include "core/layout/LayoutRule.h"

namespace
{

// Picture1: copies the graph's retained image (the page's or the lanes'); all drawing
// happens there. The wheel zooms, a click on a wide page opens the page under it.
class GraphSurface final : public QWidget
{
public:
    GraphSurface(const GraphPage &page, GraphLanes &lanes, QWidget *parent)
        : QWidget(parent), m_page(page), m_lanes(lanes)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&page, &GraphPage::surfaceChanged, this, qOverload<>(&QWidget::update));
        connect(&lanes, &GraphLanes::surfaceChanged, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(0, 0, m_lanes.state().showsLanes() ? m_lanes.surface() : m_page.surface());
    }
    void wheelEvent(QWheelEvent *event) override
    {
        const int turn = event->angleDelta().y();
        if (turn < 0) m_lanes.zoomOut();
        if (turn > 0) m_lanes.zoomIn();
        event->accept();
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton || m_lanes.shownLevel() == 0) return;
        if (const std::optional<double> fraction = m_lanes.fractionAt(event->position()))
            m_lanes.openAt(*fraction);
    }

private:
    const GraphPage &m_page;
    GraphLanes &m_lanes;
};

// Design rectangles in twips of a client area of 11700 x 2925.
const QRectF PictureRect(0, 0, 11700, 2500);
const QRectF PreviousRect(10230, 2530, 375, 375);
const QRectF PageBoxRect(10620, 2530, 600, 375);
const QRectF NextRect(11235, 2530, 375, 375);
// The view buttons are wide enough for their longest caption in any language.
const QRectF MainChannelRect(0, 2530, 1600, 375);
const QRectF AllChannelsRect(1620, 2530, 1600, 375);
const QRectF ZoomOutRect(3280, 2530, 375, 375);
const QRectF ZoomInRect(3670, 2530, 375, 375);
const QRectF WholeRecordRect(4060, 2530, 1600, 375);

constexpr double FrameWidthTwips = LayoutRule::ReferenceWidth;
constexpr double FrameHeightTwips = LayoutRule::ReferenceHeight;

} // namespace

FmGraph::FmGraph(GraphFollower &graph, GraphLanes &lanes, QWidget *parent)
    : QWidget(parent), m_graph(graph), m_layout(QSizeF(DesignWidth, DesignHeight)),
      m_picture(new GraphSurface(graph.page(), lanes, this)), m_pageBox(new QLineEdit(this)),
      m_previous(new QToolButton(this)), m_next(new QToolButton(this)), m_lanes(lanes)
{
    setObjectName(QStringLiteral("FmGraph"));
    setWindowTitle(tr("Graph"));
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_pageBox->setObjectName(QStringLiteral("Text1"));
    m_previous->setObjectName(QStringLiteral("Command1_0"));
    m_next->setObjectName(QStringLiteral("Command1_1"));

    m_pageBox->setMaxLength(3);
    m_pageBox->setAlignment(Qt::AlignCenter);
    m_pageBox->setContextMenuPolicy(Qt::NoContextMenu);
    m_pageBox->installEventFilter(this);
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(tr("Previous page"));
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(tr("Next page"));

    m_layout.add(m_picture, PictureRect);
    m_layout.add(m_previous, PreviousRect, FontPoints);
    m_layout.add(m_pageBox, PageBoxRect, FontPoints);
    m_layout.add(m_next, NextRect, FontPoints);

    GraphPage &page = graph.page();
    showPageText(page.pageText());
    connect(&page, &GraphPage::pageTextChanged, this, &FmGraph::showPageText);
    connect(m_pageBox, &QLineEdit::textEdited, &graph, &GraphFollower::typePageBox);
    connect(m_previous, &QToolButton::clicked, &page, &GraphPage::previousPage);
    connect(m_next, &QToolButton::clicked, &page, &GraphPage::nextPage);
    addViewBar();
}

void FmGraph::addViewBar()
{
    // The keys belong to the frame's View menu, which runs these actions; the tooltips name them.
    const auto button = [this](const QString &text, const QString &tip, MenuItem item, const QRectF &place) {
        auto *action = new QAction(text, this);
        const QKeySequence key(QLatin1String(CommandTable::row(item).shortcut));
        action->setToolTip(tip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
        auto *field = new QToolButton(this);
        field->setDefaultAction(action);
        field->setAutoRaise(true);
        m_layout.add(field, place, FontPoints);
        return action;
    };
    const QString mainChannel = GraphViewTexts::mainChannel(), allChannels = GraphViewTexts::allChannels(),
                  wholeRecord = GraphViewTexts::wholeRecord();
    m_mainChannel = button(mainChannel, mainChannel, MenuItem::MainChannelView, MainChannelRect);
    m_allChannels = button(allChannels, allChannels, MenuItem::AllChannelsView, AllChannelsRect);
    m_zoomOut = button(QStringLiteral("\u2212"), GraphViewTexts::zoomOut(), MenuItem::ZoomOut, ZoomOutRect);
    m_zoomIn = button(QStringLiteral("+"), GraphViewTexts::zoomIn(), MenuItem::ZoomIn, ZoomInRect);
    m_wholeRecord = button(wholeRecord, wholeRecord, MenuItem::WholeRecord, WholeRecordRect);
    m_wholeRecord->setCheckable(true);
    auto *views = new QActionGroup(this);
    for (QAction *action : {m_mainChannel, m_allChannels}) {
        action->setCheckable(true);
        views->addAction(action);
    }
    GraphViewState &state = m_lanes.state();
    connect(m_mainChannel, &QAction::triggered, &state,
            [&state] { state.setView(GraphViewKind::MainChannel); });
    connect(m_allChannels, &QAction::triggered, &state,
            [&state] { state.setView(GraphViewKind::AllChannels); });
    connect(m_zoomOut, &QAction::triggered, &m_lanes, &GraphLanes::zoomOut);
    connect(m_zoomIn, &QAction::triggered, &m_lanes, &GraphLanes::zoomIn);
    // Chosen again while shown, the whole record keeps its mark.
    connect(m_wholeRecord, &QAction::triggered, this, [this, &state] {
        state.showWholeRecord();
        showViewState();
    });
    connect(&state, &GraphViewState::viewChanged, this, &FmGraph::showViewState);
    connect(&state, &GraphViewState::zoomChanged, this, &FmGraph::showViewState);
    showViewState();
}

void FmGraph::showViewState()
{
    const GraphViewState &state = m_lanes.state();
    m_mainChannel->setChecked(state.view() == GraphViewKind::MainChannel);
    m_allChannels->setChecked(state.view() == GraphViewKind::AllChannels);
    m_wholeRecord->setChecked(state.zoom() == GraphZoom::WholeRecord);
    m_picture->update();
}

void FmGraph::showPageText(const QString &text)
{
    if (m_pageBox->text() != text) m_pageBox->setText(text);
}

bool FmGraph::eventFilter(QObject *watched, QEvent *event)
{
    // Digits and backspace only; keys that type nothing (arrows, Home) still move the caret.
    if (watched == m_pageBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (key->key() == Qt::Key_Backspace) return false;
        if (!typed.isEmpty() && !(typed.size() == 1 && GraphPaging::isPageBoxKey(typed.front()))) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FmGraph::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeAll();
}

void FmGraph::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_graph.redraw();
}

void FmGraph::resizeAll()
{
    if (size().isEmpty()) return;
    m_layout.apply(size(), logicalDpiX());
    // The page box is one line high whatever the window's height; the buttons follow it.
    const int boxHeight = int(std::lround(LayoutRule::twipsToPixels(PageBoxHeight, logicalDpiY())));
    for (QWidget *field : {static_cast<QWidget *>(m_pageBox), static_cast<QWidget *>(m_previous),
                           static_cast<QWidget *>(m_next)})
        field->resize(field->width(), boxHeight);

    // The window ratios come from the frame the window lives in.
    const QSize frame = window()->frameGeometry().size();
    GraphGeometry geometry;
    geometry.h = LayoutRule::pixelsToTwips(frame.width(), logicalDpiX()) / FrameWidthTwips;
    geometry.v = LayoutRule::pixelsToTwips(frame.height(), logicalDpiY()) / FrameHeightTwips;
    geometry.pixels = m_picture->size();
    geometry.fontPixels =
        std::max(1, int(std::lround(FontPoints * logicalDpiY() / 72.0 * m_layout.widthRatio())));
    m_graph.page().setGeometry(geometry);
    if (isVisible())
        m_graph.redraw();
    else
        m_graph.reDisplay();
}
