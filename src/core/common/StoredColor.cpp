#include "core/common/StoredColor.h"

QColor colorFromStored(qint32 stored)
{
    const auto bits = quint32(stored);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 storedFromColor(const QColor &color)
{
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16));
}
