#include "core/publish/PublishOptions.h"

#include <QFile>
#include <QUrl>

QString BrokerAddress::hostPort() const
{
    const QString shown = host.contains(QLatin1Char(':')) ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

namespace PublishRules
{

namespace
{

const QString Expected =
    QStringLiteral("the broker address does not parse: expected mqtt://[user[:password]@]host[:port] "
                   "or mqtts://[user[:password]@]host[:port]");

BrokerAddress failed(QString *error, const QString &reason)
{
    if (error) *error = reason;
    return {};
}

bool isPortText(QStringView text)
{
    if (text.isEmpty() || text.size() > 5) return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

} // namespace

BrokerAddress parseAddress(const QString &url, QString *error)
{
    const qsizetype schemeEnd = url.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0) return failed(error, Expected);
    const QString scheme = url.left(schemeEnd).toLower();
    BrokerAddress address;
    if (scheme == QLatin1String("mqtts"))
        address.tls = true;
    else if (scheme != QLatin1String("mqtt"))
        return failed(error,
                      QStringLiteral("unknown scheme \"%1\": use mqtt:// or mqtts://").arg(scheme.left(20)));
    QStringView rest = QStringView(url).mid(schemeEnd + 3);
    if (rest.endsWith(u'/')) rest.chop(1);
    for (const QChar c : rest)
        if (c == u'/' || c == u'?' || c == u'#' || c.isSpace() || c.unicode() < 0x20)
            return failed(error, Expected);

    const qsizetype at = rest.lastIndexOf(u'@');
    if (at >= 0) {
        const QStringView userInfo = rest.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        const QStringView user = colon >= 0 ? userInfo.left(colon) : userInfo;
        address.user = QUrl::fromPercentEncoding(user.toUtf8());
        if (colon >= 0) address.password = QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8());
        if (address.user.isEmpty()) return failed(error, Expected);
        rest = rest.mid(at + 1);
    }

    QStringView portText;
    bool hasPort = false;
    if (rest.startsWith(u'[')) { // [IPv6]:port
        const qsizetype close = rest.indexOf(u']');
        if (close < 0) return failed(error, Expected);
        address.host = rest.mid(1, close - 1).toString();
        const QStringView after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':')) return failed(error, Expected);
            portText = after.mid(1);
            hasPort = true;
        }
    } else {
        const qsizetype colon = rest.indexOf(u':');
        address.host = (colon >= 0 ? rest.left(colon) : rest).toString();
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            hasPort = true;
        }
    }
    if (address.host.isEmpty()) return failed(error, QStringLiteral("the broker address names no host"));
    address.port = address.tls ? TlsPort : PlainPort;
    if (hasPort) {
        const int port = isPortText(portText) ? portText.toInt() : 0;
        if (port < 1 || port > 65535)
            return failed(error, QStringLiteral("the port must be a number from 1 to 65535"));
        address.port = port;
    }
    if (error) error->clear();
    return address;
}

QString checkPrefix(const QString &prefix)
{
    if (prefix.isEmpty()) return QStringLiteral("the topic prefix is empty");
    if (prefix.contains(u'+') || prefix.contains(u'#') || prefix.contains(QChar(0)))
        return QStringLiteral("the topic prefix must not hold +, # or a NUL character");
    return {};
}

QString defaultPrefix(const QString &hostName)
{
    return QStringLiteral("voltrix/") + (hostName.isEmpty() ? QStringLiteral("localhost") : hostName);
}

QString discoveryId(const QString &prefix)
{
    return QStringLiteral("voltrix_") + QString(prefix).replace(u'/', u'_');
}

bool parseSwitch(const QString &text, bool *on)
{
    if (text == QLatin1String("on") || text == QLatin1String("1")) {
        *on = true;
        return true;
    }
    if (text == QLatin1String("off") || text == QLatin1String("0")) {
        *on = false;
        return true;
    }
    return false;
}

bool parseQos(const QString &text, int *qos)
{
    if (text != QLatin1String("0") && text != QLatin1String("1")) return false;
    *qos = text.toInt();
    return true;
}

QString check(const PublishOptions &options, BrokerAddress *address)
{
    QString error;
    *address = parseAddress(options.url, &error);
    if (!error.isEmpty()) return error;
    if (!address->user.isEmpty() && address->password.isEmpty()) address->password = options.password;
    const QString prefixError = checkPrefix(options.prefix);
    if (!prefixError.isEmpty()) return prefixError;
    if (options.qos != 0 && options.qos != 1) return QStringLiteral("the quality of service must be 0 or 1");
    if (!options.caFile.isEmpty()) {
        QFile ca(options.caFile);
        if (!ca.open(QIODevice::ReadOnly))
            return QStringLiteral("cannot read the CA file %1: %2").arg(options.caFile, ca.errorString());
    }
    return {};
}

} // namespace PublishRules
