#pragma once
#include <QFile>
#include <QString>

// The log file "data.log" in the records folder. Starting a record deletes it and opens it
// afresh; it stays open, and empty, until Stop. It only marks that a recording was started,
// so nothing here reports a failure: a record goes on without its log file.
class LogFile
{
public:
    static constexpr const char *FileName = "data.log";

    // Full path of the log file in the current records folder.
    static QString path();

    // Removes the log file of the previous record, if any.
    void deleteLogFile();
    // Creates the file if absent and keeps it open for appending; reopens when already open.
    // Returns whether it is open, for callers that care; recording never depends on it.
    bool open();
    void close();
    bool isOpen() const { return m_file.isOpen(); }

private:
    QFile m_file;
};
