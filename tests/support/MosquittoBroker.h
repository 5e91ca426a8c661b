#pragma once
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct mosquitto;

// A throw-away Mosquitto broker on free local ports: a plain listener, and a TLS one with a
// CA and server certificates made by openssl on first use: a good one, an expired one, and
// one for another host. Stopped on destruction; stop() and
// start() again keep the ports, as a broker restarted.
class MosquittoBroker
{
public:
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    enum class Certificate { Good, Expired, OtherHost };
    // `login`: only user "voltrix" with password "secret" may connect.
    bool start(bool tls = false, bool login = false, Certificate certificate = Certificate::Good);
    void stop();
    QString errorString() const { return m_error; }

    int port() const { return m_port; }
    int tlsPort() const { return m_tlsPort; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString tlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tlsPort); }

    static bool available(); // mosquitto and openssl are installed

private:
    bool makeCertificates();
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    int m_tlsPort = 0;
    QString m_error;
};

// A subscriber that keeps every message it receives (topic, payload, retained flag); it
// reconnects and subscribes again by itself.
class MqttProbe
{
public:
    struct Message {
        QByteArray topic;
        QByteArray payload;
        bool retained;
    };
    MqttProbe();
    ~MqttProbe();
    // Subscribed to `topic` once this returns true.
    bool subscribe(int port, const QByteArray &topic = "#");
    QList<Message> messages() const;
    QList<Message> messagesOn(const QByteArray &topic) const;

private:
    mosquitto *m_mosq = nullptr;
    QByteArray m_topic;
    mutable QMutex m_mutex;
    QList<Message> m_messages;
    bool m_subscribed = false;
};
