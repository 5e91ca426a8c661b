#pragma once
#include <QWidget>

#include "ui/common/ProportionalLayout.h"

class GraphFollower;
class GraphLanes;
class QAction;
class QLineEdit;
class QToolButton;

// The graph window: shows the retained surface of the session's graph page, the page box and
// the two page buttons. It lays its fields out in proportion to its size, tells the graph the
// surface's new size and has the page drawn again. Its view bar chooses the main channel's
// page or a lane for every channel, and zooms out up to the whole record (the mouse wheel
// too); a click on a wide page opens the page that holds the spot.
class FmGraph : public QWidget
{
    Q_OBJECT
public:
    // The client size the window's fields are drawn for, in twips.
    static constexpr double DesignWidth = 11700;
    static constexpr double DesignHeight = 2925;
    static constexpr double PageBoxHeight = 375; // twips, whatever the window's size
    static constexpr qreal FontPoints = 8;

    FmGraph(GraphFollower &graph, GraphLanes &lanes, QWidget *parent = nullptr);

    QWidget *picture() const { return m_picture; }
    QLineEdit *pageBox() const { return m_pageBox; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }
    QAction *mainChannelAction() const { return m_mainChannel; }
    QAction *allChannelsAction() const { return m_allChannels; }
    QAction *zoomOutAction() const { return m_zoomOut; }
    QAction *zoomInAction() const { return m_zoomIn; }
    QAction *wholeRecordAction() const { return m_wholeRecord; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void resizeAll();
    void showPageText(const QString &text);
    void addViewBar();
    void showViewState();

    GraphFollower &m_graph;
    ProportionalLayout m_layout;
    QWidget *m_picture;
    QLineEdit *m_pageBox;
    QToolButton *m_previous;
    QToolButton *m_next;
    GraphLanes &m_lanes;
    QAction *m_mainChannel = nullptr;
    QAction *m_allChannels = nullptr;
    QAction *m_zoomOut = nullptr;
    QAction *m_zoomIn = nullptr;
    QAction *m_wholeRecord = nullptr;
};
