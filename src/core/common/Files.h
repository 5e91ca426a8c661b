#pragma once
#include <QString>

// True when a file (not a folder) exists at `path`; any error counts as absent.
bool fileExists(const QString &path);

// The part of a path after its last "/" or "\".
QString fileNameOfPath(const QString &path);
