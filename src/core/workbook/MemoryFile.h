#pragma once
#include <QString>

// A file that lives in memory only, reachable by a path for a library that opens files by name
// (Linux; elsewhere isValid() is false). A library that writes there meets no disk failure: none
// of its own complaints on standard error, and the copy to disk fails in the program's words.
class MemoryFile
{
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    bool isValid() const { return m_handle >= 0; }
    QString path() const;
    // Writes all the file holds into the existing file at `target`; false with the system's reason.
    bool copyTo(const QString &target, QString *error) const;

private:
    int m_handle = -1;
};
