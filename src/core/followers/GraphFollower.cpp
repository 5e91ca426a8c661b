#include "core/followers/GraphFollower.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/graph/GraphPaging.h"
#include "core/graph/PageExtremes.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/settings/UserSettings.h"

GraphFollower::GraphFollower(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators),
      m_mainChannel(collaborators.record, collaborators.state, collaborators.status), m_page(m_mainChannel)
{
    // No surface until a window gives it a size: a session without windows draws nothing.
    GraphGeometry noSurface;
    noSurface.pixels = QSize();
    m_page.setGeometry(noSurface);
    m_page.setTimeScale(m_.settings.values().timeAxisFactor);
    applyOptions();
    followChannel();
    connect(&m_.settings, &UserSettings::optionsChanged, this, &GraphFollower::applyOptions);
    connect(&m_.settings, &UserSettings::setupChanged, this, &GraphFollower::applySetup);
    connect(&m_page, &GraphPage::pageAboutToShow, this, &GraphFollower::onPageAboutToShow);
}

bool GraphFollower::recordingRuns() const
{
    return m_.state.resetPending == ResetPending::None;
}

void GraphFollower::followChannel()
{
    const MonitorFields &monitor = m_.monitor;
    m_page.setChannel({m_.state.main.function, m_.state.main.prefix, monitor.bigValue, monitor.bigUnit,
                       monitor.maximum.value, monitor.minimum.value});
}

void GraphFollower::dataAll()
{
    followChannel();
    m_page.addNewest();
}

void GraphFollower::tickText()
{
    if (!recordingRuns()) maxMinCPage();
    followChannel();
    m_page.autoscale();
}

void GraphFollower::reDisplay()
{
    // A frame drawn anew is blank: the page's samples go back onto it at once.
    redraw();
}

void GraphFollower::setPageBox(const QString &text)
{
    followChannel();
    m_page.setPageText(text);
}

void GraphFollower::typePageBox(const QString &text)
{
    followChannel();
    m_page.typePageText(text);
}

void GraphFollower::redraw()
{
    followChannel();
    m_page.redraw();
}

void GraphFollower::onPageAboutToShow()
{
    if (!recordingRuns()) maxMinCPage();
    followChannel();
}

void GraphFollower::maxMinCPage()
{
    const AcquisitionState &state = m_.state;
    const OverloadRange range{state.limits.upper, state.limits.lower, state.main.prefix};
    const std::optional<GraphZoom::Window> wide = m_shownRows ? m_shownRows() : std::nullopt;
    const std::optional<PageExtremes> extremes =
        wide
            ? GraphPageExtremes::ofRows(m_mainChannel, wide->first, wide->first + wide->span - 1, range)
            : GraphPageExtremes::of(m_mainChannel, m_page.page(), m_.settings.values().timeAxisFactor, range);
    if (!extremes) return;
    MonitorFields &monitor = m_.monitor;
    monitor.maximum = extremes->maximum;
    monitor.minimum = extremes->minimum;
    monitor.notify();
}

void GraphFollower::shownRowsChanged()
{
    if (!recordingRuns()) maxMinCPage();
}

void GraphFollower::applyOptions()
{
    const Settings &settings = m_.settings.values();
    m_page.setStyle({settings.Graph_BackColor, settings.Graph_T1BackColor, settings.Graph_TitleCk,
                     settings.Graph_MainTitle});
    redraw();
}

void GraphFollower::applySetup()
{
    const float factor = m_.settings.values().timeAxisFactor;
    if (factor == m_page.view().timeScale) return;
    m_page.setTimeScale(factor);
    if (m_.state.main.rowCount <= 0) return;
    reDisplay();
    setPageBox(QStringLiteral("0"));
    if (m_.windows.isShown(ChildWindow::Graph))
        setPageBox(QString::number(GraphPaging::pageCount(m_.state.main.rowCount, factor)));
}
