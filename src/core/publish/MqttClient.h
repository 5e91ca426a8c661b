#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/publish/PublishOptions.h"

struct mosquitto;
struct mosquitto_message;

// One connection to a broker, kept by libmosquitto's own thread: it connects in the background,
// reconnects by itself with growing waits up to 30 s, and hands what happened to this object's
// thread. Publishing only puts the message in an outbox, which a sender thread of this object,
// woken for it, hands to the library, so the caller never waits on the library's lock. The
// library's own thread keeps the connection alive. While disconnected the newest message of
// each topic is kept (at most BacklogTopics topics) and sent once the connection is back; the
// retained messages are sent again after every reconnect, since a broker restarted may have
// lost them.
class MqttClient : public QObject
{
    Q_OBJECT
public:
    enum class State { Off, Connecting, Connected, Failed };
    struct Config {
        BrokerAddress broker;
        QString caFile;         // empty: the system's CA certificates (TLS only)
        QByteArray statusTopic; // "online" retained once connected, "offline" as the last will
        int qos = 0;
        int connectTimeoutMs = 5000;     // a broker silent this long is reported unreachable
        QList<QByteArray> subscriptions; // subscribed on every connection; see messageReceived
    };
    static constexpr int BacklogTopics = 64;
    static constexpr int MaxReconnectWaitS = 30;

    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    // Starts connecting; false with the reason when the settings are refused at once.
    bool start(const Config &config, QString *error);
    // Says "offline" (retained, waiting briefly for the broker to take it) and disconnects.
    void stop();

    void publish(const QByteArray &topic, const QByteArray &payload, bool retain);

    State state() const { return m_state; }
    // "off", "connecting to host:port", "connected to host:port", or the last error (translated).
    QString stateText() const { return m_text; }

Q_SIGNALS:
    // Once per change of state: an outage is told once, however often reconnecting fails.
    void stateChanged(MqttClient::State state, const QString &text);
    // A message on one of the subscribed topics.
    void messageReceived(const QByteArray &topic, const QByteArray &payload);

private:
    static void onConnect(mosquitto *, void *self, int rc);
    static void onDisconnect(mosquitto *, void *self, int rc);
    static void onPublish(mosquitto *, void *self, int mid);
    static void onLog(mosquitto *, void *self, int level, const char *text);
    static void onMessage(mosquitto *, void *self, const struct mosquitto_message *message);

    struct Outgoing {
        QByteArray topic;
        QByteArray payload;
        bool retain;
    };
    void sendLoop();
    void stopSender();
    void deliver(const std::vector<Outgoing> &batch);
    void connectFailed(int rc, int error);
    void connected(int rc);
    void disconnected(int rc, int error);
    void connectTimedOut();
    void setState(State state, const QString &text);
    bool send(const QByteArray &topic, const QByteArray &payload, bool retain, int qos);
    void keep(const QByteArray &topic, const QByteArray &payload);
    QString lastLogLine();
    // "cannot reach host:port: reason", or "TLS refused by host:port: reason" when the
    // broker's certificate was refused.
    QString unreachableText(const QString &reason);
    void release();

    mosquitto *m_mosq = nullptr;
    Config m_config;
    State m_state = State::Off;
    QString m_text;
    QTimer m_connectTimer;
    // The caller's side of the outbox.
    std::mutex m_outboxMutex;
    std::condition_variable m_wake;
    std::vector<Outgoing> m_outbox;
    bool m_stopping = false;
    std::thread m_sender;
    // What the sender and this object's thread share: the connection as last told, what goes
    // again on connecting.
    QMutex m_sendMutex;
    bool m_connected = false;
    QHash<QByteArray, QByteArray> m_retained;
    QHash<QByteArray, QByteArray> m_backlog;
    QList<QByteArray> m_backlogOrder;
    std::atomic<int> m_ackedMid{0};
    QMutex m_logMutex;
    QString m_lastLog;
    bool m_tlsRefused = false; // the last log line tells why the broker's certificate was refused
};
