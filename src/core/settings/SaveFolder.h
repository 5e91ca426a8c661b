#pragma once
#include <QString>

class SettingsStore;

// Where the file dialogs open: in the folder a file was last saved in or opened from, while it
// still exists, else where the command suggests (the records folder).
namespace SaveFolder
{

// `suggestedPath` ("<records folder>/261205_151230") moved into the folder last used.
QString startPath(const SettingsStore &store, const QString &suggestedPath);
// The folder to open a file from: the folder last used, else `folder`.
QString startFolder(const SettingsStore &store, const QString &folder);
// Notes the folder of a file the user chose to save or open.
void remember(SettingsStore &store, const QString &savedPath);

} // namespace SaveFolder
