#include "core/common/TimeOfDay.h"

int secondsOfDay(QStringView timeCell)
{
    constexpr int Limits[3] = {24, 60, 60};
    int seconds = 0;
    int field = 0;
    int value = -1;
    for (const QChar c : timeCell) {
        if (c >= u'0' && c <= u'9') {
            value = (value < 0 ? 0 : value * 10) + (c.unicode() - u'0');
            if (value >= Limits[field]) return -1;
        } else if (c == u':' && value >= 0 && field < 2) {
            seconds = seconds * 60 + value;
            value = -1;
            ++field;
        } else {
            return -1;
        }
    }
    return field == 2 && value >= 0 ? seconds * 60 + value : -1;
}
