#pragma once
#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>
#include <optional>

#include "core/graph/LaneTimes.h"
#include "core/graph/MinMaxSummary.h"
#include "core/graph/VerticalScale.h"

// One lane of the lanes view: a channel of the record with its samples' summary and times.
struct LaneChannel {
    int channel = 0;       // 0..5
    int function = -1;     // measuring function code
    int displayPrefix = 3; // the prefix the lane's values are shown in
    const MinMaxSummary *summary = nullptr;
    std::optional<VerticalScale> scale;     // none: the lane shows no trace
    const ChannelTimeline *times = nullptr; // where each of its samples stands on the time axis
};

namespace LaneLayout
{

// Device pixels a pixel of the on-screen surface `pixels` grows to on a target of `device`'s
// size (pens and text grow with it).
qreal pixelOf(const QSizeF &device, const QSize &pixels);

// Where the lanes stand on a surface whose text is `fontPixels` high: the value labels to
// the left, the time labels below, `count` lanes of equal height stacked in channel order.
struct Arrangement {
    QRectF plot;           // all lanes together
    QVector<QRectF> lanes; // top to bottom
    qreal timeTop = 0;     // top edge of the time labels
};
Arrangement arrange(int count, const QRectF &surface, qreal fontPixels);

// The value labels of a lane (0 the bottom's, 5 the top's), each in its rectangle left of the
// lane: as many as the lane's height holds without two touching, bottom and top first.
struct ValueLabel {
    int index = 0;
    QRectF box;
};
QVector<ValueLabel> valueLabels(const QRectF &lane, qreal left, qreal fontPixels);

// "Ch1 DCV V", "Ch5 OHM KΩ": the channel as the user counts it, its function and unit.
QString label(int channel, int function, int prefix);

// The lane's trace colour: the main page's for the main channel, a colour of its own otherwise.
QColor colour(int channel, int mainChannel, const QColor &mainTrace);

// A base-unit value in the lane's display prefix.
double inPrefix(double baseValue, int prefix);

// The lane's scale for rows first..last: the autoscale of the main page fed with the
// channel's own largest and smallest sample there (an overload standing for its range's
// limit). Nothing when those rows hold no sample.
std::optional<VerticalScale> scale(const LaneChannel &lane, int first, int last);

} // namespace LaneLayout
