#pragma once
#include <QWidget>

#include "ui/common/ProportionalLayout.h"

class GraphFollower;
class QLineEdit;
class QToolButton;

// The graph window: shows the retained surface of the session's graph page, the page box and
// the two page buttons. It lays its fields out in proportion to its size, tells the graph the
// surface's new size and has the page drawn again.
class FmGraph : public QWidget
{
    Q_OBJECT
public:
    // The client size the window's fields are drawn for, in twips.
    static constexpr double DesignWidth = 11700;
    static constexpr double DesignHeight = 2925;
    static constexpr double PageBoxHeight = 375; // twips, whatever the window's size
    static constexpr qreal FontPoints = 8;

    explicit FmGraph(GraphFollower &graph, QWidget *parent = nullptr);

    QWidget *picture() const { return m_picture; }
    QLineEdit *pageBox() const { return m_pageBox; }
    QToolButton *previousButton() const { return m_previous; }
    QToolButton *nextButton() const { return m_next; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void resizeAll();
    void showPageText(const QString &text);

    GraphFollower &m_graph;
    ProportionalLayout m_layout;
    QWidget *m_picture;
    QLineEdit *m_pageBox;
    QToolButton *m_previous;
    QToolButton *m_next;
};
