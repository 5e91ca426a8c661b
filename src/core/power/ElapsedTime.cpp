#include "core/power/ElapsedTime.h"

QString time_dhms(qint64 seconds)
{
    if (seconds < 0) seconds = 0;
    const qint64 s = seconds % 60;
    const qint64 minutes = seconds / 60;
    const qint64 m = minutes % 60;
    const qint64 hours = minutes / 60;
    const qint64 h = hours % 24;
    const qint64 days = hours / 24;
    return QStringLiteral("%1:%2:%3:%4").arg(days).arg(h).arg(m).arg(s);
}
