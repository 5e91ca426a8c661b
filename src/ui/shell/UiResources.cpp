#include "ui/shell/UiResources.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerCompiledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace UiResources
{

void ensureLoaded()
{
    static const bool loaded = (registerCompiledResources(), true);
    Q_UNUSED(loaded);
}

QIcon icon(const QString &name)
{
    ensureLoaded();
    return QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
}

} // namespace UiResources
