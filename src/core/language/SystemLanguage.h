#pragma once
#include <QLocale>

// The system's language as a Windows language ID, the number the help documents are chosen
// by and the About box shows: 1028 Chinese (Taiwan), 1033 English (United States), 1041
// Japanese, 2052 Chinese (China), ...
namespace SystemLanguage
{

constexpr int ChineseTaiwan = 1028;
constexpr int EnglishUnitedStates = 1033;
constexpr int Japanese = 1041;

// A locale's ID from a table of the common languages and countries. A listed language in an
// unlisted country gets the language's default ID (Chinese by its script: traditional 1028,
// else 2052); any other language, and the "C" locale, English (United States).
int languageId(const QLocale &locale);
// The ID of the system's locale, read once at start-up.
int systemLanguageId();

} // namespace SystemLanguage
