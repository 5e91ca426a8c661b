#pragma once
#include <QString>

// A file written under a temporary name in its target folder and renamed into place only
// when complete, so that a failure leaves neither a partial file nor a damaged older file.
// The temporary file is removed unless commit() succeeded. While the object lives it holds a lock
// on the temporary file, which tells files of a running program from those a killed one left.
class StagedFile
{
public:
    explicit StagedFile(const QString &targetPath);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Creates the empty temporary file; false with `error` (the cause) when it cannot.
    bool create(QString *error);
    QString temporaryPath() const { return m_temporaryPath; }
    QString targetPath() const { return m_targetPath; }

    // Replaces the target by the temporary file, keeping the permissions of a target that
    // exists; false with `error` (the cause) when it cannot.
    bool commit(QString *error);

    // Removes the temporary files in `folder` that no living program holds.
    static void removeAbandoned(const QString &folder);

private:
    QString m_targetPath;
    QString m_temporaryPath;
    bool m_committed = false;
    int m_lockHandle = -1;
};
