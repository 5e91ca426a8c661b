#pragma once
#include <QImage>
#include <QObject>
#include <QPainter>
#include <QString>
#include <functional>
#include <optional>

#include "core/graph/GraphInputs.h"
#include "core/graph/GraphPainter.h"
#include "core/graph/VerticalScale.h"

// The graph of the main channel, one page at a time: its scale, its page box, where the
// trace stands, and the retained image of the surface that the window shows. Full redraws
// and the newest reading are drawn into that image; the window only copies it to the screen
// (surfaceChanged tells when) and shows the page box text (pageTextChanged).
class GraphPage : public QObject
{
    Q_OBJECT
public:
    explicit GraphPage(const GraphRecord &record, QObject *parent = nullptr);

    // Inputs. A new geometry gives a blank surface of its pixel size: redraw afterwards.
    void setGeometry(const GraphGeometry &geometry);
    void setStyle(const GraphStyle &style);
    void setTimeScale(float timeScale);
    void setChannel(const GraphChannel &channel);

    const GraphView &view() const { return m_view; }
    QString pageText() const { return m_pageText; }
    int page() const { return m_view.page; }
    std::optional<VerticalScale> scale() const { return m_view.scale; }
    const QImage &surface() const { return m_surface; }

    // A scale that fits the channel's shown maximum and minimum (kept when they are empty).
    void autoscale();
    // The frame anew: background, grid, value labels, title and unit.
    void redisplay();
    // The samples of the current page onto the frame.
    void plot();
    // redisplay() then plot().
    void redraw();
    // The newest sample of the main channel, while it is recorded: follows the record to the
    // page that holds it, draws only the new stretch of the trace and the time labels, and
    // scales and redraws the page when the sample falls outside the drawn band.
    void addNewest();

    // The page box was set: "0" shows no page until the next number; any other text is
    // typed. An unchanged text does nothing.
    void setPageText(const QString &text);
    // The page box was typed or pasted into: applies the page box rule and, for a page to
    // show, scales and redraws. An unchanged text does nothing.
    void typePageText(const QString &text);
    void nextPage();
    void previousPage();
    // Shows `page` even when it is the current one (the page box passes through "0").
    void openPage(int page);

    void tickClean();
    void cleanTickTextX();

    // The current page drawn anew into `target` of any paint device (vector lines and text).
    void render(QPainter &painter, const QRectF &target) const;

Q_SIGNALS:
    void pageTextChanged(const QString &text);
    // A page is about to be scaled and drawn: a connected slot may still feed the page's own
    // maximum and minimum through setChannel().
    void pageAboutToShow(int page);
    void surfaceChanged();

private:
    void paintSurface(const std::function<void(GraphPainter &)> &steps);
    std::optional<double> limitedValue(const GraphSample &sample) const;

    const GraphRecord &m_record;
    GraphView m_view;
    QString m_pageText = QStringLiteral("1");
    PenMemory m_pen;
    int m_drawnPrefix = -1; // display prefix of the drawn page
    QImage m_surface;
};
