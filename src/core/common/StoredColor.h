#pragma once
#include <QColor>

// A colour as the settings store keeps it: red in the lowest byte, then green, then blue.
QColor colorFromStored(qint32 stored);
qint32 storedFromColor(const QColor &color);
