#include "core/help/AboutBox.h"

#include <QCoreApplication>

namespace AboutBox
{

QString applicationTitle()
{
    return QStringLiteral("Voltrix");
}

QString caption()
{
    return QCoreApplication::translate("AboutBox", "About %1").arg(applicationTitle());
}

QString versionPrefix()
{
    return QCoreApplication::translate("AboutBox", "Version :  ");
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
    return QCoreApplication::translate("AboutBox", "System Language ID : ");
}

QString languageIdText(int languageId)
{
    return QString::number(languageId);
}

QString systemInfoButton()
{
    return QCoreApplication::translate("AboutBox", "&System Info...");
}

QString okButton()
{
    return QCoreApplication::translate("AboutBox", "OK");
}

QString systemInfoUnavailable()
{
    return QCoreApplication::translate("AboutBox", "System Information Is Unavailable At This Time");
}

} // namespace AboutBox
