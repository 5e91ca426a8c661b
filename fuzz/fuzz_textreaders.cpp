// The readers of text that users write by hand: the label file, and numbers as the alarm
// limits and power rates are typed. Any input must neither crash nor produce a number that
// formats to something unreadable.
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("LabelName.txt"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(bytes);
    }
    const QString label = Measurement::readLabelFile(path).label;
    if (label.size() > bytes.size()) std::abort(); // an item is a part of the file

    bool ok = false;
    const double number = NumberFormat::parseNumber(QString::fromUtf8(bytes), &ok);
    if (ok) {
        if (!std::isfinite(number)) std::abort();
        const QString shown = NumberFormat::format(number, u"###0.000");
        if (!NumberFormat::isNumeric(shown)) std::abort();
    }
    return 0;
}
