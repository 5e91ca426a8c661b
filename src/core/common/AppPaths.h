#pragma once
#include <QString>

// Where the program reads its assets and writes its files.
namespace AppPaths
{

// The folder the program writes to (log file, journals, automatic saves): recordsFolderFor()
// of the running program. Tests may point it elsewhere.
QString recordsFolder();
// An installed program (its folder under /usr) never writes into its own folder, even where
// it may (run as root): it writes to the per-user data folder. A program run from its build
// tree or an unpacked folder writes beside itself while that folder is writable.
QString recordsFolderFor(const QString &programFolder, bool programFolderWritable,
                         const QString &userDataFolder);
void setRecordsFolderOverride(const QString &folder); // empty = no override

// A read-only asset (icon, sound, help documents, label file), looked up beside the
// program, then in the installed data folder (as seen from the program, <bindir>/../share/voltrix,
// then under the prefix the program was built for), then in the source tree's assets/.
// Returns an empty string when it is nowhere.
QString findAsset(const QString &fileName);
void setAssetFolderOverride(const QString &folder); // tests: look here first

} // namespace AppPaths
