#pragma once
#include <QString>
#include <QtGlobal>

// What Qt itself says on standard error. Much of it is the platform's notes to a developer (no
// runtime folder, no sound server, what the offscreen platform cannot do), which tell a user of
// this program nothing. The program's own lines do not go through Qt's message handler.
namespace QtMessages
{

// Whether a message is such a note: a warning of one of Qt's own categories ("qt.*") or one of
// the platform's notes Qt gives in the default category. Debug and info messages (shown only
// when someone switched them on), critical and fatal messages are no notes.
bool isPlatformNote(QtMsgType type, const char *category, const QString &message);

// Drops the platform's notes from now on, unless QT_LOGGING_RULES is set: whoever sets it has
// chosen what to see. Everything else goes to Qt's default handler.
void dropPlatformNotes();

} // namespace QtMessages
