#include "core/common/StoredColor.h"

QColor colorFromStored(qint32 stored)
{
    const auto bits = quint32(stored);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}
