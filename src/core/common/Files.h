#pragma once
#include <QString>
#include <functional>

// True when a file (not a folder) exists at `path`; any error counts as absent.
bool fileExists(const QString &path);

// The part of a path after its last "/" or "\".
QString fileNameOfPath(const QString &path);

// The first of nameFor(1), nameFor(2), ... that `taken` does not claim: the plain name, else a
// numbered one beside a file of that name.
QString firstFreeName(const std::function<QString(int n)> &nameFor,
                      const std::function<bool(const QString &name)> &taken);

// Makes `folder` and the folders above it that are missing; false with the system's reason for
// the first one that could not be made (a read-only disk, no permission) in `reason`.
bool makeFolder(const QString &folder, QString *reason);
