#pragma once
#include <QObject>
#include <QString>

#include "core/followers/RecordOutputs.h"
#include "core/printing/GraphImageExport.h"
#include "core/printing/PrintCommands.h"
#include "core/session/LaunchPlan.h"
#include "ui/printing/QtCurrentPrinter.h"
#include "ui/printing/QtSvgGraphWriter.h"

class Session;

// Save Graph, Print Data and Print Graph of the program, with the program's one current
// printer: installs their procedures as the session's command handlers.
class PrintFeature : public QObject
{
    Q_OBJECT
public:
    PrintFeature(Session &session, QWidget *dialogParent);

    QtCurrentPrinter &printer() { return m_printer; }
    const RecordOutputs &outputs() const { return m_outputs; }

    void addUnattendedOutputs(UnattendedRun &run, const UnattendedFiles &files);

private:
    RecordOutputs m_outputs;
    QtCurrentPrinter m_printer;
    PrintCommands m_commands;
    QtSvgGraphWriter m_svg;
    GraphImageSaver m_saver;
};
