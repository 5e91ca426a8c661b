#pragma once
#include <QString>

// The About box's texts.
namespace AboutBox
{

QString applicationTitle();             // "Voltrix"
QString caption();                      // "About Voltrix"
QString versionPrefix();                // "Version :  "
QString version();                      // " 1.0.21 ": the project's version between spaces
QString versionText();                  // "Version :  " followed by " 1.0.21 "
QString languageLabel();                // "System Language ID : "
QString languageIdText(int languageId); // the ID in decimal
QString systemInfoButton();             // "&System Info..."
QString okButton();                     // "OK"
QString systemInfoUnavailable();        // "System Information Is Unavailable At This Time"

} // namespace AboutBox
