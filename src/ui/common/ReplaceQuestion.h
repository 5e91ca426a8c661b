#pragma once
#include <QString>

class QWidget;

// Whether the user lets the existing file `path` be replaced: the file dialogs' own question,
// with No as the default.
bool confirmReplace(QWidget *parent, const QString &title, const QString &path);
