#include "core/followers/RecordOutputs.h"

#include "core/common/AppPaths.h"
#include "core/followers/GraphLanes.h"
#include "core/graph/GraphPage.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/printing/PrintCommands.h"
#include "core/record/RecordStore.h"
#include "core/settings/UserSettings.h"

namespace
{
const QString TableCaption = QStringLiteral("Table");
}

TableHeading RecordOutputs::tableHeading() const
{
    const Settings &settings = m_.settings.values();
    return {m_.monitor.file, settings.Graph_TitleCk, settings.Graph_MainTitle};
}

GraphFooter RecordOutputs::graphFooter() const
{
    return {m_.monitor.file, m_.graph.pageText()};
}

GraphImageSource RecordOutputs::imageSource() const
{
    GraphImageSource source;
    source.graphVisible = m_.windows.isShown(ChildWindow::Graph);
    source.recordEmpty = m_.record.cell(1, 1).isEmpty();
    source.recordFileName = m_.monitor.file;
    source.pageText = m_.graph.pageText();
    // A graph no window has given a size yet is saved at the surface's default size.
    const QSize shown = m_.graph.surface().size();
    source.pictureSize = shown.isEmpty() ? GraphGeometry().pixels : shown;
    source.folder = AppPaths::recordsFolder();
    return source;
}

DrawGraphPage RecordOutputs::drawGraphPage() const
{
    if (const GraphLanes *lanes = m_.lanes; lanes && lanes->state().showsLanes())
        return [lanes](QPainter &painter, const QRectF &target) { lanes->render(painter, target); };
    const GraphPage &graph = m_.graph;
    return [&graph](QPainter &painter, const QRectF &target) { graph.render(painter, target); };
}

void RecordOutputs::printData(PrintCommands &commands) const
{
    commands.printData(m_.windows.isShown(ChildWindow::Table), TableCaption, m_.record, tableHeading());
}

GraphPrintout::Sheet RecordOutputs::graphSheet() const
{
    return m_.lanes && m_.lanes->state().showsLanes() ? GraphPrintout::LanesSheet : GraphPrintout::PageSheet;
}

void RecordOutputs::printGraph(PrintCommands &commands) const
{
    commands.printGraph(m_.windows.isShown(ChildWindow::Graph), graphFooter(), drawGraphPage(), graphSheet());
}

void RecordOutputs::saveGraph(GraphImageSaver &saver) const
{
    saver.saveGraph(imageSource(), drawGraphPage());
}

QString RecordOutputs::printDataTo(const QString &pdfPath) const
{
    return UnattendedPrint::printData(pdfPath, m_.record, tableHeading());
}

QString RecordOutputs::printGraphTo(const QString &pdfPath) const
{
    // Print Graph prints only the graph the graph window shows.
    if (!m_.windows.isShown(ChildWindow::Graph)) return QStringLiteral("the graph window is not shown");
    return UnattendedPrint::printGraph(pdfPath, graphFooter(), drawGraphPage(), graphSheet());
}

QString RecordOutputs::saveGraphTo(const QString &imagePath, SvgGraphWriter &svg) const
{
    return GraphImageExport::saveWithoutDialog(imagePath, imageSource(), drawGraphPage(), svg);
}
