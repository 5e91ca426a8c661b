#pragma once
#include <QString>

// Where and how readings are published: a broker address mqtt://[user[:password]@]host[:port]
// or mqtts://… (TLS), a topic prefix, Home Assistant discovery and the quality of service.
struct BrokerAddress {
    bool tls = false;
    QString user;
    QString password;
    QString host;
    int port = 0;
    // "host:port", what the user is told (never the credentials).
    QString hostPort() const;
};

struct PublishOptions {
    QString url;      // empty: publishing is off
    QString password; // used when the address names a user but no password
    QString prefix;   // PublishRules::defaultPrefix unless the user gives one
    bool discovery = true;
    int qos = 0;
    QString caFile; // empty: the system's CA certificates
};

namespace PublishRules
{

constexpr int PlainPort = 1883;
constexpr int TlsPort = 8883;
constexpr qint64 MaxCaFileBytes = 4 * 1024 * 1024; // a bundle of every public CA is a quarter of it

// The address, or on failure an empty host and the reason in `error`.
BrokerAddress parseAddress(const QString &url, QString *error);
// "" when the prefix may carry topics below it, else why not: not "homeassistant" nor under it.
QString checkPrefix(const QString &prefix);
// "voltrix/<host name>"
QString defaultPrefix(const QString &hostName);
// "voltrix_<prefix>" with every character but [a-zA-Z0-9_-] turned into "_": the only ones Home
// Assistant takes in an id.
QString discoveryId(const QString &prefix);
// "on"/"off" and "0"/"1" as the command line gives them; false when the text is neither.
bool parseSwitch(const QString &text, bool *on);
bool parseQos(const QString &text, int *qos);

// Everything checked before anything starts: "" when fine, else the reason. Fills `address`
// (the password from the options when the address names a user without one).
QString check(const PublishOptions &options, BrokerAddress *address);

} // namespace PublishRules
