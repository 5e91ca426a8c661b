#include "core/setup/TimeAxis.h"

namespace TimeAxis
{
namespace
{

constexpr int EntryCount = 8;
constexpr int Step = 25;

} // namespace

QStringList entries()
{
    QStringList list;
    for (int i = 0; i < EntryCount; ++i)
        list << QString::number(samplesPerPage(i));
    return list;
}

int samplesPerPage(int position)
{
    return (position >= 0 && position < EntryCount ? position + 1 : 1) * Step;
}

float factor(int position)
{
    return float(samplesPerPage(position)) / 100.0f;
}

int pageOf(int rows, int samplesPerPage)
{
    if (rows <= 0 || samplesPerPage <= 0) return 0;
    return (rows + samplesPerPage - 1) / samplesPerPage;
}

Change onSetupOk(int position, const GraphState &graph)
{
    Change change;
    change.factor = factor(position);
    if (change.factor == graph.currentFactor || !graph.mainHasReadings) return change;
    change.redrawFrame = true;
    change.pageBoxTexts << QStringLiteral("0");
    if (graph.graphVisible) {
        const int rows = graph.recording ? graph.mainNextRow : graph.mainSampleCount;
        change.pageBoxTexts << QString::number(pageOf(rows, samplesPerPage(position)));
    }
    return change;
}

} // namespace TimeAxis
