// The broker address parser and the sample formats, which take what the user types and what a
// table cell holds. A parsed address must name a host and a port in range and say again what
// it was given; any cell text must give valid JSON that reads back as the same texts, and a
// value that is the text's number in the base unit.
// Seeds: fuzz/seeds/publish.
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/publish/PublishOptions.h"
#include "core/publish/PublishedSample.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    QString error;
    const BrokerAddress address = PublishRules::parseAddress(text, &error);
    if (error.isEmpty()) {
        if (address.host.isEmpty() || address.port < 1 || address.port > 65535) std::abort();
        if (!text.contains(address.host)) std::abort();
    } else if (!address.host.isEmpty()) {
        std::abort();
    }

    PublishedSample sample;
    sample.time = QStringLiteral("2026-12-07T12:07:21+01:00");
    sample.text = text;
    sample.textUnit = QStringLiteral("mV");
    sample.function = text.size() % 2 ? text : QStringLiteral("DCV");
    SampleFormat::setBaseValue(sample);
    QJsonParseError parse;
    const QJsonObject read = QJsonDocument::fromJson(SampleFormat::json(sample), &parse).object();
    if (parse.error != QJsonParseError::NoError) std::abort();
    if (read.value(u"text").toString() != text || read.value(u"function").toString() != sample.function)
        std::abort();
    const QJsonValue value = read.value(u"value");
    if (!value.isNull() && !value.isDouble()) std::abort();
    if (value.isDouble()) {
        QString number = text.trimmed();
        number.replace(u',', u'.');
        bool ok = false;
        const double shown = number.toDouble(&ok) * (sample.unit == QLatin1String("V") ? 1e-3 : 1);
        if (ok && std::isfinite(shown) &&
            std::abs(shown - value.toDouble()) > 1e-9 * std::abs(shown) + 1e-300)
            std::abort();
    }
    if (!SampleFormat::csvLine(sample).endsWith("\r\n")) std::abort();
    return 0;
}
