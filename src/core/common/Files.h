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
