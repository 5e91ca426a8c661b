#include "core/help/AboutBox.h"

namespace AboutBox
{

QString applicationTitle()
{
    return QStringLiteral("Voltrix");
}

QString caption()
{
    return QStringLiteral("About ") + applicationTitle();
}

QString versionPrefix()
{
    return QStringLiteral("Version :  ");
}

QString version()
{
    // The project's one version, as --version, the package and its metadata give it.
    return QStringLiteral(" " VOLTRIX_VERSION " ");
}

QString versionText()
{
    return versionPrefix() + version();
}

QString languageLabel()
{
    return QStringLiteral("System Language ID : ");
}

QString languageIdText(int languageId)
{
    return QString::number(languageId);
}

QString systemInfoButton()
{
    return QStringLiteral("&System Info...");
}

QString okButton()
{
    return QStringLiteral("OK");
}

QString systemInfoUnavailable()
{
    return QStringLiteral("System Information Is Unavailable At This Time");
}

} // namespace AboutBox
