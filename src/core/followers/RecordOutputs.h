#pragma once
#include <QString>

#include "core/printing/GraphImageExport.h"
#include "core/printing/GraphPrintout.h"
#include "core/printing/TablePrintout.h"

class GraphLanes;
class GraphPage;
class MonitorFields;
class PrintCommands;
class RecordStore;
class UserSettings;
class WindowVisibility;

// The print and image commands over the session as it stands: the record table, the graph page
// the graph window shows, the record's file name and the graph title, and which windows are shown.
class RecordOutputs
{
public:
    struct Collaborators {
        const RecordStore &record;
        const MonitorFields &monitor;
        const UserSettings &settings;
        const WindowVisibility &windows;
        const GraphPage &graph;
        const GraphLanes *lanes = nullptr; // draws the graph when its view shows lanes
    };
    explicit RecordOutputs(const Collaborators &collaborators) : m_(collaborators) {}

    TableHeading tableHeading() const;
    GraphFooter graphFooter() const;
    GraphImageSource imageSource() const;
    DrawGraphPage drawGraphPage() const;
    // The printed sheet's layout for the view shown: lanes take the sheet's height.
    GraphPrintout::Sheet graphSheet() const;

    // The menu commands.
    void printData(PrintCommands &commands) const;
    void printGraph(PrintCommands &commands) const;
    void saveGraph(GraphImageSaver &saver) const;

    // The same without dialogs, into the named files: "" or what went wrong.
    QString printDataTo(const QString &pdfPath) const;
    QString printGraphTo(const QString &pdfPath) const;
    QString saveGraphTo(const QString &imagePath, SvgGraphWriter &svg) const;

private:
    Collaborators m_;
};
