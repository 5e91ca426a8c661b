#pragma once
#include <QString>
#include <functional>

// The user's manual and the program help, one PDF file per language, and the choice of the
// file to open. Opening it is the window's.
namespace HelpDocuments
{

enum class Document {
    Manual, // "Voltrix User's Manual"
    Help,   // "Help"
};

// The document's file name for a language ID; the English one for unlisted languages.
QString fileName(Document document, int languageId);
QString englishFileName(Document document);

// Where a file lives (a full path), or "" when it is nowhere.
using Finder = std::function<QString(const QString &fileName)>;

// The path of the document to open: the language's file, else the English one, else ""
// (the command then does nothing). `find` defaults to the program's asset lookup.
QString locate(Document document, int languageId, const Finder &find = {});

// What the user is told when no program opens the document at `path`.
QString cannotOpenText(const QString &path);

} // namespace HelpDocuments
