// The broker address parser and the sample formats, which take what the user types and what a
// table cell holds. A parsed address must name a host and a port in range and say again what
// it was given; any cell text must give valid JSON that reads back as the same texts.
// Seeds: fuzz/seeds/publish.
#include <QJsonDocument>
#include <QJsonObject>
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

    const PublishedSample sample{1, 1, QStringLiteral("2026-12-07T12:07:21"), text, text, text};
    QJsonParseError parse;
    const QJsonObject read = QJsonDocument::fromJson(SampleFormat::json(sample), &parse).object();
    if (parse.error != QJsonParseError::NoError) std::abort();
    if (read.value(u"text").toString() != text || read.value(u"function").toString() != text) std::abort();
    const QJsonValue value = read.value(u"value");
    if (!value.isNull() && !value.isDouble()) std::abort();
    if (!SampleFormat::csvLine(sample).endsWith("\r\n")) std::abort();
    return 0;
}
