#pragma once
#include <QIcon>
#include <QString>

// The windows' built-in images (toolbar icons, alarm images, the program's mark).
namespace UiResources
{

// Registers the compiled-in images; the windows' library is static, so nothing else would
// pull them into the program. Safe to call any number of times.
void ensureLoaded();

// ":/icons/<name>.svg" as an icon, e.g. icon("start").
QIcon icon(const QString &name);

} // namespace UiResources
