#include "core/publish/MqttClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <mosquitto.h>
#include <mutex>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace
{

constexpr int OfflineWaitMs = 2000;
constexpr int KeepAliveS = 30;
const char *const SystemCaFolder = "/etc/ssl/certs";

void initLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// The library's text, or for a system error the system's text of `error` (errno where it happened).
QString reasonOf(int rc, int error = 0)
{
    // The library has no words of its own for this one ("Unknown error").
    if (rc == MOSQ_ERR_KEEPALIVE) return QStringLiteral("the broker stopped answering");
    QString text =
        QString::fromUtf8(rc == MOSQ_ERR_ERRNO && error ? std::strerror(error) : mosquitto_strerror(rc));
    if (text.endsWith(u'.')) text.chop(1);
    return text;
}

} // namespace

MqttClient::MqttClient(QObject *parent) : QObject(parent), m_text(tr("off"))
{
    initLibrary();
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &MqttClient::connectTimedOut);
}

MqttClient::~MqttClient()
{
    stop();
}

bool MqttClient::start(const Config &config, QString *error)
{
    stop();
    m_config = config;
    const QByteArray clientId = QStringLiteral("voltrix-%1-%2")
                                    .arg(QSysInfo::machineHostName())
                                    .arg(QCoreApplication::applicationPid())
                                    .toUtf8()
                                    .left(64);
    m_mosq = mosquitto_new(clientId.constData(), true, this);
    auto refuse = [this, error](const QString &reason) {
        if (error) *error = reason;
        stopSender();
        release();
        return false;
    };
    if (!m_mosq) return refuse(tr("cannot make an MQTT client"));
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_publish_callback_set(m_mosq, &MqttClient::onPublish);
    mosquitto_log_callback_set(m_mosq, &MqttClient::onLog);
    mosquitto_message_callback_set(m_mosq, &MqttClient::onMessage);
    mosquitto_reconnect_delay_set(m_mosq, 1, MaxReconnectWaitS, true);

    const BrokerAddress &broker = config.broker;
    if (!broker.user.isEmpty()) {
        const QByteArray user = broker.user.toUtf8();
        const QByteArray password = broker.password.toUtf8();
        mosquitto_username_pw_set(m_mosq, user.constData(),
                                  broker.password.isEmpty() ? nullptr : password.constData());
    }
    if (broker.tls) {
        const QByteArray ca = config.caFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(m_mosq, ca.isEmpty() ? nullptr : ca.constData(),
                                         ca.isEmpty() ? SystemCaFolder : nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) return refuse(tr("TLS cannot be set up: %1").arg(reasonOf(rc)));
    }
    if (!config.statusTopic.isEmpty())
        mosquitto_will_set(m_mosq, config.statusTopic.constData(), 7, "offline", 1, true);

    // The loop runs first: so the client connects whenever the broker comes up.
    const int rc = mosquitto_loop_start(m_mosq);
    if (rc != MOSQ_ERR_SUCCESS) return refuse(tr("cannot start the MQTT client: %1").arg(reasonOf(rc)));
    {
        QMutexLocker lock(&m_logMutex);
        m_lastLog.clear();
        m_tlsRefused = false;
    }
    setState(State::Connecting, tr("connecting to %1").arg(broker.hostPort()));
    // The sender connects first, so that looking up the host never holds this thread up.
    m_stopping = false;
    m_sender = std::thread(&MqttClient::sendLoop, this);
    m_connectTimer.start(config.connectTimeoutMs);
    return true;
}

void MqttClient::stopSender()
{
    if (!m_sender.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_outboxMutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_sender.join(); // what was in the outbox has gone to the library
}

void MqttClient::stop()
{
    stopSender();
    if (!m_mosq) return;
    m_connectTimer.stop();
    if (m_connected && !m_config.statusTopic.isEmpty()) {
        int mid = 0;
        if (mosquitto_publish(m_mosq, &mid, m_config.statusTopic.constData(), 7, "offline", 1, true) ==
            MOSQ_ERR_SUCCESS) {
            const QDeadlineTimer deadline(OfflineWaitMs);
            while (m_ackedMid.load() != mid && !deadline.hasExpired())
                QThread::msleep(2);
        }
    }
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, !m_connected);
    release();
    m_connected = false;
    m_retained.clear();
    m_backlog.clear();
    m_backlogOrder.clear();
    setState(State::Off, tr("off"));
}

void MqttClient::release()
{
    if (m_mosq) mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
}

void MqttClient::publish(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (!m_mosq) return;
    {
        std::lock_guard<std::mutex> lock(m_outboxMutex);
        m_outbox.push_back({topic, payload, retain});
    }
    m_wake.notify_one();
}

void MqttClient::sendLoop()
{
    const QByteArray host = m_config.broker.host.toUtf8();
    const int rc = mosquitto_connect_async(m_mosq, host.constData(), m_config.broker.port, KeepAliveS);
    if (rc != MOSQ_ERR_SUCCESS) { // the loop tries again by itself: the user hears of it once
        const int error = errno;
        QMetaObject::invokeMethod(
            this, [this, rc, error] { connectFailed(rc, error); }, Qt::QueuedConnection);
    }
    std::vector<Outgoing> batch;
    std::unique_lock<std::mutex> lock(m_outboxMutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_outbox.empty(); });
        const bool stopping = m_stopping;
        batch.swap(m_outbox);
        lock.unlock();
        deliver(batch);
        batch.clear();
        lock.lock();
        if (stopping && m_outbox.empty()) return;
    }
}

void MqttClient::deliver(const std::vector<Outgoing> &batch)
{
    if (batch.empty()) return;
    QMutexLocker lock(&m_sendMutex);
    for (const Outgoing &message : batch) {
        if (message.retain) m_retained.insert(message.topic, message.payload);
        if (!m_connected || !send(message.topic, message.payload, message.retain, m_config.qos)) {
            if (!message.retain)
                keep(message.topic, message.payload); // the retained ones go again on connecting
        }
    }
}

bool MqttClient::send(const QByteArray &topic, const QByteArray &payload, bool retain, int qos)
{
    const int rc = mosquitto_publish(m_mosq, nullptr, topic.constData(), int(payload.size()),
                                     payload.constData(), qos, retain);
    // Unconnected, the library drops a QoS 0 message but queues a QoS 1 one itself.
    return rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0);
}

void MqttClient::keep(const QByteArray &topic, const QByteArray &payload)
{
    if (!m_backlog.contains(topic)) {
        if (m_backlogOrder.size() >= BacklogTopics) m_backlog.remove(m_backlogOrder.takeFirst());
        m_backlogOrder.append(topic);
    }
    m_backlog.insert(topic, payload);
}

void MqttClient::onConnect(mosquitto *mosq, void *self, int rc)
{
    auto *client = static_cast<MqttClient *>(self);
    // A clean session forgets them with every connection.
    if (rc == 0)
        for (const QByteArray &topic : client->m_config.subscriptions)
            mosquitto_subscribe(mosq, nullptr, topic.constData(), 0);
    QMetaObject::invokeMethod(
        client, [client, rc] { client->connected(rc); }, Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto *, void *self, int rc)
{
    auto *client = static_cast<MqttClient *>(self);
    const int error = errno;
    QMetaObject::invokeMethod(
        client, [client, rc, error] { client->disconnected(rc, error); }, Qt::QueuedConnection);
}

void MqttClient::onPublish(mosquitto *, void *self, int mid)
{
    static_cast<MqttClient *>(self)->m_ackedMid.store(mid);
}

void MqttClient::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<MqttClient *>(self);
    const QByteArray topic(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    QMetaObject::invokeMethod(
        client, [client, topic, payload] { Q_EMIT client->messageReceived(topic, payload); },
        Qt::QueuedConnection);
}

void MqttClient::onLog(mosquitto *mosq, void *self, int level, const char *text)
{
    if (!(level & (MOSQ_LOG_ERR | MOSQ_LOG_WARNING))) return;
    auto *client = static_cast<MqttClient *>(self);
    const QString line = QString::fromUtf8(text);
    QMutexLocker lock(&client->m_logMutex);
    // The library checks the host name itself and says so before the handshake fails.
    if (line.contains(QLatin1String("host name verification failed"))) {
        client->m_lastLog = QStringLiteral("host name verification failed");
        client->m_tlsRefused = true;
        return;
    }
    // The handshake's error says only "certificate verify failed"; the connection, still open
    // while this is logged, knows why: an unknown CA, an expired certificate, ...
    if (line.contains(QLatin1String("certificate verify failed"))) {
        const auto *ssl = static_cast<const SSL *>(mosquitto_ssl_get(mosq));
        const long result = ssl ? SSL_get_verify_result(ssl) : X509_V_OK;
        if (result != X509_V_OK && result != X509_V_ERR_UNSPECIFIED)
            client->m_lastLog = QString::fromUtf8(X509_verify_cert_error_string(result));
        else if (!client->m_tlsRefused)
            client->m_lastLog = line;
        client->m_tlsRefused = true;
        return;
    }
    if (client->m_tlsRefused && line.startsWith(QLatin1String("OpenSSL Error"))) return; // the same refusal
    client->m_lastLog = line;
    client->m_tlsRefused = false;
}

QString MqttClient::unreachableText(const QString &reason)
{
    const QString where = m_config.broker.hostPort();
    QMutexLocker lock(&m_logMutex);
    return (m_tlsRefused ? tr("TLS refused by %1: %2") : tr("cannot reach %1: %2")).arg(where, reason);
}

QString MqttClient::lastLogLine()
{
    QMutexLocker lock(&m_logMutex);
    QString line = m_lastLog;
    if (line.startsWith(QLatin1String("Error: "))) line.remove(0, 7);
    return line;
}

void MqttClient::connected(int rc)
{
    if (!m_mosq) return;
    const QString where = m_config.broker.hostPort();
    if (rc != 0) {
        setState(
            State::Failed,
            tr("%1 refused the connection: %2").arg(where, QString::fromUtf8(mosquitto_connack_string(rc))));
        return;
    }
    m_connectTimer.stop();
    {
        QMutexLocker lock(&m_logMutex);
        m_lastLog.clear();
        m_tlsRefused = false;
    }
    {
        QMutexLocker lock(&m_sendMutex);
        m_connected = true;
        if (!m_config.statusTopic.isEmpty()) {
            m_retained.insert(m_config.statusTopic, QByteArrayLiteral("online"));
            send(m_config.statusTopic, QByteArrayLiteral("online"), true, 1);
        }
        for (auto it = m_retained.cbegin(); it != m_retained.cend(); ++it)
            if (it.key() != m_config.statusTopic) send(it.key(), it.value(), true, m_config.qos);
        const QList<QByteArray> order = std::exchange(m_backlogOrder, {});
        for (const QByteArray &topic : order)
            send(topic, m_backlog.value(topic), false, m_config.qos);
        m_backlog.clear();
    }
    setState(State::Connected, tr("connected to %1").arg(where));
}

void MqttClient::connectFailed(int rc, int error)
{
    if (!m_mosq || m_connected) return;
    const QString logged = lastLogLine(); // a TLS failure tells its reason only there
    setState(State::Failed, unreachableText(logged.isEmpty() ? reasonOf(rc, error) : logged));
}

void MqttClient::disconnected(int rc, int error)
{
    if (!m_mosq) return;
    bool wasConnected = false;
    {
        QMutexLocker lock(&m_sendMutex);
        wasConnected = std::exchange(m_connected, false);
    }
    if (rc == 0) return; // asked for
    const QString reason = lastLogLine();
    if (wasConnected || m_state != State::Failed)
        setState(State::Failed, unreachableText(reason.isEmpty() ? reasonOf(rc, error) : reason));
}

void MqttClient::connectTimedOut()
{
    if (m_connected || m_state == State::Failed) return;
    const QString reason = lastLogLine();
    setState(State::Failed, unreachableText(reason.isEmpty() ? tr("no answer") : reason));
}

void MqttClient::setState(State state, const QString &text)
{
    if (state == m_state) {
        if (state != State::Failed) m_text = text; // an outage is told once
        return;
    }
    m_state = state;
    m_text = text;
    Q_EMIT stateChanged(state, text);
}
