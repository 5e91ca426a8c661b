#include "core/publish/PublishOptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <memory>
#include <openssl/pem.h>
#include <openssl/x509.h>

QString BrokerAddress::hostPort() const
{
    const QString shown = host.contains(QLatin1Char(':')) ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

namespace PublishRules
{

namespace
{

QString expected()
{
    return QCoreApplication::translate(
        "PublishRules", "the broker address does not parse: expected mqtt://[user[:password]@]host[:port] or "
                        "mqtts://[user[:password]@]host[:port]");
}

// Home Assistant's own topics: its discovery configs and its birth message.
const QString ReservedPrefix = QStringLiteral("homeassistant");

// True when `data` holds a certificate in PEM, the form the TLS library reads a CA file in.
bool holdsPemCertificate(const QByteArray &data)
{
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(data.constData(), int(data.size())),
                                                        &BIO_free);
    X509 *certificate = bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr;
    X509_free(certificate);
    return certificate != nullptr;
}

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
    if (schemeEnd <= 0) return failed(error, expected());
    const QString scheme = url.left(schemeEnd).toLower();
    BrokerAddress address;
    if (scheme == QLatin1String("mqtts"))
        address.tls = true;
    else if (scheme != QLatin1String("mqtt"))
        return failed(error, QCoreApplication::translate("PublishRules",
                                                         "unknown scheme \"%1\": use mqtt:// or mqtts://")
                                 .arg(scheme.left(20)));
    QStringView rest = QStringView(url).mid(schemeEnd + 3);
    if (rest.endsWith(u'/')) rest.chop(1);
    for (const QChar c : rest)
        if (c == u'/' || c == u'?' || c == u'#' || c.isSpace() || c.unicode() < 0x20)
            return failed(error, expected());

    const qsizetype at = rest.lastIndexOf(u'@');
    if (at >= 0) {
        const QStringView userInfo = rest.left(at);
        const qsizetype colon = userInfo.indexOf(u':');
        const QStringView user = colon >= 0 ? userInfo.left(colon) : userInfo;
        address.user = QUrl::fromPercentEncoding(user.toUtf8());
        if (colon >= 0) address.password = QUrl::fromPercentEncoding(userInfo.mid(colon + 1).toUtf8());
        if (address.user.isEmpty()) return failed(error, expected());
        rest = rest.mid(at + 1);
    }

    QStringView portText;
    bool hasPort = false;
    if (rest.startsWith(u'[')) { // [IPv6]:port
        const qsizetype close = rest.indexOf(u']');
        if (close < 0) return failed(error, expected());
        address.host = rest.mid(1, close - 1).toString();
        const QStringView after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':')) return failed(error, expected());
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
    if (address.host.isEmpty())
        return failed(error, QCoreApplication::translate("PublishRules", "the broker address names no host"));
    address.port = address.tls ? TlsPort : PlainPort;
    if (hasPort) {
        const int port = isPortText(portText) ? portText.toInt() : 0;
        if (port < 1 || port > 65535)
            return failed(error, QCoreApplication::translate("PublishRules",
                                                             "the port must be a number from 1 to 65535"));
        address.port = port;
    }
    if (error) error->clear();
    return address;
}

QString checkPrefix(const QString &prefix)
{
    if (prefix.isEmpty()) return QCoreApplication::translate("PublishRules", "the topic prefix is empty");
    if (prefix.contains(u'+') || prefix.contains(u'#') || prefix.contains(QChar(0)))
        return QCoreApplication::translate("PublishRules",
                                           "the topic prefix must not hold +, # or a NUL character");
    if (prefix == ReservedPrefix || prefix.startsWith(ReservedPrefix + u'/'))
        return QCoreApplication::translate(
                   "PublishRules",
                   "the topic prefix must not be %1 or lie under it: Home Assistant's own topics are there")
            .arg(ReservedPrefix);
    return {};
}

QString defaultPrefix(const QString &hostName)
{
    return QStringLiteral("voltrix/") + (hostName.isEmpty() ? QStringLiteral("localhost") : hostName);
}

QString discoveryId(const QString &prefix)
{
    QString id = QStringLiteral("voltrix_") + prefix;
    for (QChar &c : id)
        if (!(c.isDigit() || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-')) c = u'_';
    return id;
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
    if (options.qos != 0 && options.qos != 1)
        return QCoreApplication::translate("PublishRules", "the quality of service must be 0 or 1");
    if (!options.caFile.isEmpty()) {
        QFile ca(options.caFile);
        const QString cannotRead =
            QCoreApplication::translate("PublishRules", "cannot read the CA file %1: %2");
        if (!ca.open(QIODevice::ReadOnly)) return cannotRead.arg(options.caFile, ca.errorString());
        if (!holdsPemCertificate(ca.read(MaxCaFileBytes)))
            return cannotRead.arg(options.caFile,
                                  QCoreApplication::translate("PublishRules", "it holds no PEM certificate"));
    }
    return {};
}

} // namespace PublishRules
