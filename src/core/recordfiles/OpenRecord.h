#pragma once
#include <QCoreApplication>
#include <QString>

#include "core/recordfiles/RecordImport.h"

class CommandState;
class Commands;
class GraphHooks;
class Prompts;
class RecordReset;
class RecordingControl;
class WindowVisibility;
class WorkbookSaver;

// The Open command: clears the record (a record not saved yet is offered to be saved first,
// and kept when that save fails), asks for a workbook (.xlsx or .xls, told apart by the
// file's first bytes, whatever its name) and shows its record in the table, the monitor and
// the graph. Menus and toolbar are disabled while it reads; afterwards Save Data and the power
// window stay disabled, since an opened record is no recording.
class OpenRecord
{
public:
    struct Collaborators {
        RecordImport::Collaborators import;
        Prompts &prompts;
        RecordReset &reset;
        RecordingControl &recording;
        Commands &commands;
        CommandState &commandState;
        WindowVisibility &windows;
        GraphHooks &graph;
        WorkbookSaver &saver;
    };
    explicit OpenRecord(const Collaborators &collaborators) : m_(collaborators) {}

    // The command with its dialog.
    void run();
    // The command for a file already chosen (--open). True when the file's record was loaded.
    bool open(const QString &path);

    static QString DialogTitle() { return QCoreApplication::translate("OpenRecord", "Open File"); }

private:
    bool clearFirst(); // false when the record in the table must stay
    bool load(const QString &path);
    void enableCommands(bool on);

    Collaborators m_;
};
