#pragma once
#include <QString>

// A file written under a temporary name in its target folder and renamed into place only
// when complete, so that a failure leaves neither a partial file nor a damaged older file.
// The temporary file is removed unless commit() succeeded. While the object lives it holds a lock
// on the temporary file, which tells files of a running program from those a killed one left.
class StagedFile
{
public:
    // What commit() does when a file holds the target's name.
    enum class Existing {
        Replace,      // a name the user chose and confirmed
        TakeNextName, // a name the program chose: the file there is someone else's
    };

    explicit StagedFile(const QString &targetPath, Existing existing = Existing::Replace);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Creates the empty temporary file; false with `error` (the cause) when it cannot.
    bool create(QString *error);
    QString temporaryPath() const { return m_temporaryPath; }
    QString targetPath() const { return m_targetPath; }

    // Gives the temporary file the target's name; false with `error` (the cause) when it cannot.
    // Replace replaces a file of that name, keeping its permissions. TakeNextName never does:
    // the name is taken in one step that fails when it exists (so two programs racing for it
    // cannot both have it), and a taken name moves on to numberedPath(target, 2), 3, ...;
    // targetPath() then names the file written.
    bool commit(QString *error);

    // "<folder>/<stem>_<n>.<suffix>" for n > 1, `path` itself for n = 1.
    static QString numberedPath(const QString &path, int n);

    // Removes the temporary files in `folder` that no living program holds.
    static void removeAbandoned(const QString &folder);

private:
    bool replaceTarget(QString *error);
    bool takeFreeName(QString *error);

    QString m_targetPath;
    QString m_temporaryPath;
    Existing m_existing;
    bool m_committed = false;
    int m_lockHandle = -1;
};
