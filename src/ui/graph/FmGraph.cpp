#include "ui/graph/FmGraph.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <cmath>

#include "core/graph/GraphPaging.h"
#include "core/layout/LayoutRule.h"
#include "core/views/GraphFollower.h"

namespace
{

// Picture1: copies the graph's retained image; all drawing happens there.
class GraphSurface final : public QWidget
{
public:
    GraphSurface(const GraphPage &page, QWidget *parent) : QWidget(parent), m_page(page)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&page, &GraphPage::surfaceChanged, this, qOverload<>(&QWidget::update));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(0, 0, m_page.surface());
    }

private:
    const GraphPage &m_page;
};

// Design rectangles in twips of a client area of 11700 x 2925.
const QRectF PictureRect(0, 0, 11700, 2500);
const QRectF PreviousRect(10230, 2530, 375, 375);
const QRectF PageBoxRect(10620, 2530, 600, 375);
const QRectF NextRect(11235, 2530, 375, 375);

constexpr double FrameWidthTwips = LayoutRule::ReferenceWidth;
constexpr double FrameHeightTwips = LayoutRule::ReferenceHeight;

} // namespace

FmGraph::FmGraph(GraphFollower &graph, QWidget *parent)
    : QWidget(parent), m_graph(graph), m_layout(QSizeF(DesignWidth, DesignHeight)),
      m_picture(new GraphSurface(graph.page(), this)), m_pageBox(new QLineEdit(this)),
      m_previous(new QToolButton(this)), m_next(new QToolButton(this))
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
