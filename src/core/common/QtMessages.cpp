#include "core/common/QtMessages.h"

#include <QString>

namespace QtMessages
{
namespace
{

// The notes Qt gives in the default category, by how they start.
constexpr QLatin1String DefaultCategoryNotes[] = {
    QLatin1String("QStandardPaths: "),              // no or a badly set XDG_RUNTIME_DIR
    QLatin1String("PulseAudioService: "),           // no sound server
    QLatin1String("This plugin does not support "), // what a platform plugin cannot do
    QLatin1String("Warning: Ignoring XDG_SESSION_TYPE="),
    QLatin1String("Qt: Session management error: "),
    // A file that cannot seek or be read: the program tells the failure in its own words.
    QLatin1String("QIODevice::"),
};

QtMessageHandler previousHandler = nullptr;

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (isPlatformNote(type, context.category, message)) return;
    if (previousHandler) previousHandler(type, context, message);
}

} // namespace

bool isPlatformNote(QtMsgType type, const char *category, const QString &message)
{
    if (type != QtWarningMsg) return false;
    const QLatin1String name(category ? category : "default");
    if (name.startsWith(QLatin1String("qt."))) return true;
    if (name != QLatin1String("default")) return false;
    for (const QLatin1String note : DefaultCategoryNotes)
        if (message.startsWith(note)) return true;
    return false;
}

void dropPlatformNotes()
{
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES")) return;
    previousHandler = qInstallMessageHandler(&handle);
}

} // namespace QtMessages
