#pragma once
#include <QString>

// Where the program reads its assets and writes its files.
namespace AppPaths
{

// The folder the program writes to (log file, automatic saves): the program's own folder
// when writable, else the per-user data folder. Tests may point it elsewhere.
QString recordsFolder();
void setRecordsFolderOverride(const QString &folder); // empty = no override

// A read-only asset (icon, sound, help documents, label file), looked up beside the
// program, then in the installed data folder (as seen from the program, <bindir>/../share/voltrix,
// then under the prefix the program was built for), then in the source tree's assets/.
// Returns an empty string when it is nowhere.
QString findAsset(const QString &fileName);
void setAssetFolderOverride(const QString &folder); // tests: look here first

} // namespace AppPaths
