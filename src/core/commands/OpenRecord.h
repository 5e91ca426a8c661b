#pragma once
#include <QString>

#include "core/recording/RecordImport.h"

class CommandState;
class Commands;
class GraphHooks;
class Prompts;
class RecordReset;
class WindowVisibility;
class WorkbookSaver;

// The Open command: clears the record, asks for a workbook (.xlsx or .xls, told apart by the
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
        Commands &commands;
        CommandState &commandState;
        WindowVisibility &windows;
        GraphHooks &graph;
        WorkbookSaver &saver;
    };
    explicit OpenRecord(const Collaborators &collaborators) : m_(collaborators) {}

    // The command with its dialog.
    void run();
    // The command for a file already chosen (the dialog answered, or --open). True when the
    // file's record was loaded.
    bool open(const QString &path);

    static inline const QString DialogTitle = QStringLiteral("Open File");

private:
    void clearFirst();
    bool load(const QString &path);
    void enableCommands(bool on);

    Collaborators m_;
};
