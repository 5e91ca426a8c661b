// Times the lanes view: a full redraw of six lanes for one page (100 and 200 rows) and for
// the whole of a 9,999-row record of six channels (five 2 s apart, one a minute apart) on one
// time axis, each into the window's surface, and one more reading on the page shown, through
// the record table into the retained lanes.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/acquisition/AcquisitionState.h"
#include "core/followers/GraphLanes.h"
#include "core/graph/GraphPage.h"
#include "core/graph/LanesPainter.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingStatus.h"

namespace
{

constexpr int Rows = 9999;
const QSize Screen(1170, 290);

QString valueAt(int channel, int row)
{
    if (row % 997 == 0) return QStringLiteral("+OL");
    return QString::number(100 * (channel + 1) + 4.5 * std::sin(row / (9.0 + channel)), 'f', 1);
}

// Six channels two seconds apart, but for channel 6, which reports once a minute.
struct Record {
    std::vector<std::unique_ptr<MinMaxSummary>> summaries;
    std::vector<std::unique_ptr<ChannelTimeline>> times;
    Record()
    {
        for (int k = 0; k < 6; ++k) {
            summaries.push_back(std::make_unique<MinMaxSummary>());
            times.push_back(std::make_unique<ChannelTimeline>());
            const int step = k == 5 ? 60 : 2;
            for (int row = 1; row <= (k == 5 ? Rows / 30 : Rows); ++row) {
                summaries.back()->append(SampleExtent::of({valueAt(k, row), QStringLiteral("V"), {}}));
                times.back()->append(step * row);
            }
        }
    }
    LanesView view(int first, int span) const
    {
        LanesView view;
        view.window = {first, span};
        view.axis = {2 * first, 2 * std::min(Rows, first + span - 1), {}};
        for (int k = 0; k < 6; ++k) {
            LaneChannel lane{
                k,  Measurement::DCV,           Measurement::NoPrefix, summaries[std::size_t(k)].get(),
                {}, times[std::size_t(k)].get()};
            const auto [a, b] = lane.times->rowsWithin(view.axis.from, view.axis.to);
            lane.scale = LaneLayout::scale(lane, a, b);
            view.lanes.append(lane);
        }
        return view;
    }
};

void fullRedraw(const Record &record, const char *what, int first, int span)
{
    QImage surface(Screen, QImage::Format_RGB32);
    const int rounds = 200;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        QPainter painter(&surface);
        renderLanes(painter, QRectF(surface.rect()), record.view(first, span));
    }
    std::printf("full redraw of six lanes, %s: %.3f ms (goal < 5 ms)\n", what,
                double(timer.nsecsElapsed()) / rounds / 1e6);
}

// Readings of six channels through the record table while the lanes show page after page.
void newestReadings()
{
    RecordStore record;
    record.clearRecord({});
    AcquisitionState state;
    RecordingStatus status;
    status.setMode(RecordingMode::Recording);
    GraphSampleList none;
    GraphPage page(none);
    GraphGeometry geometry;
    geometry.pixels = Screen;
    page.setGeometry(geometry);
    page.setTimeScale(1.0f);
    GraphLanes lanes({record, state, status, page});
    lanes.state().setView(GraphViewKind::AllChannels);
    for (int k = 0; k < 6; ++k)
        record.functionCaption[std::size_t(k)] = QStringLiteral("DCV");

    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0));
    qint64 samePageNs = 0;
    int samePage = 0;
    QElapsedTimer timer;
    for (int row = 1; row <= 2000; ++row) {
        const int shownPage = (row - 1) / 100 + 1;
        if (page.page() != shownPage) page.openPage(shownPage);
        for (int k = 0; k < 6; ++k) {
            timer.start();
            record.appendSample(k, valueAt(k, row), QStringLiteral("V"), start.addSecs(2 * row), 0);
            const qint64 ns = timer.nsecsElapsed();
            if ((row - 1) % 100 > 1) {
                samePageNs += ns;
                ++samePage;
            }
        }
        record.growOrSplit();
    }
    std::printf("one more reading on the page shown: %.4f ms over %d readings (goal < 0.2 ms)\n",
                double(samePageNs) / samePage / 1e6, samePage);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Record record;
    fullRedraw(record, "page of 100 rows", 4901, 100);
    fullRedraw(record, "page of 200 rows", 4801, 200);
    fullRedraw(record, "whole record of 9,999 rows", 1, Rows);
    newestReadings();
    return 0;
}
