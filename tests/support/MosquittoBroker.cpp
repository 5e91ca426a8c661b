#include "support/MosquittoBroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <arpa/inet.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port the system hands out for binding port 0.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

const char *const Certificates[] = {"server.crt", "expired.crt",
                                    "other.crt"}; // by MosquittoBroker::Certificate

bool accepting(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool open = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return open;
}

} // namespace

MosquittoBroker::MosquittoBroker()
{
    // Mosquitto started as root reads its files as user mosquitto.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup);
}

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")})
                .isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty();
}

bool MosquittoBroker::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(program, arguments);
    if (process.waitForFinished(20000) && process.exitCode() == 0) return true;
    m_error = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError());
    return false;
}

bool MosquittoBroker::makeCertificates()
{
    if (QFile::exists(caFile())) return true;
    const auto write = [this](const char *name, const QByteArray &text) {
        QFile file(m_dir.filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    if (!write("san.ext", "subjectAltName=IP:127.0.0.1,DNS:localhost\n") ||
        !write("other.ext", "subjectAltName=DNS:elsewhere.example\n"))
        return false;
    const QString ssl = QStringLiteral("openssl");
    const QStringList ec{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const auto sign = [&](const char *out, const char *days, const char *ext) {
        return run(ssl, {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                         "-CAcreateserial", "-out", out, "-days", days, "-extfile", ext});
    };
    return run(ssl, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ec +
                        QStringList{"-keyout", "ca.key", "-out", "ca.crt", "-days", "2", "-subj",
                                    "/CN=Test CA"}) &&
           run(ssl,
               QStringList{QStringLiteral("req")} + ec +
                   QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost"}) &&
           sign(Certificates[0], "2", "san.ext") && sign(Certificates[1], "-1", "san.ext") &&
           sign(Certificates[2], "2", "other.ext") &&
           QFile::setPermissions(m_dir.filePath(QStringLiteral("server.key")),
                                 QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup);
}

bool MosquittoBroker::start(bool tls, bool login, Certificate certificate)
{
    if (!m_port) m_port = freePort();
    if (tls && !m_tlsPort) m_tlsPort = freePort();
    if (tls && !makeCertificates()) return false;
    QByteArray conf = "per_listener_settings false\npersistence false\nlog_dest stderr\n";
    if (login) {
        if (!run(QStringLiteral("mosquitto_passwd"), {"-c", "-b", "passwd", "voltrix", "secret"}))
            return false;
        QFile::setPermissions(m_dir.filePath(QStringLiteral("passwd")),
                              QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup);
        conf += "allow_anonymous false\npassword_file " + m_dir.filePath(QStringLiteral("passwd")).toUtf8() +
                '\n';
    } else {
        conf += "allow_anonymous true\n";
    }
    conf += "listener " + QByteArray::number(m_port) + " 127.0.0.1\n";
    if (tls)
        conf += "listener " + QByteArray::number(m_tlsPort) + " 127.0.0.1\ncafile " + caFile().toUtf8() +
                "\ncertfile " + m_dir.filePath(QLatin1String(Certificates[int(certificate)])).toUtf8() +
                "\nkeyfile " + m_dir.filePath(QStringLiteral("server.key")).toUtf8() + '\n';
    QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(conf) != conf.size()) return false;
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(
        QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin")}),
        {QStringLiteral("-c"), file.fileName()});
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (accepting(m_port) && (!tls || accepting(m_tlsPort))) return true;
        QThread::msleep(50);
    }
    m_error = QStringLiteral("mosquitto did not start: ") + QString::fromLocal8Bit(m_process.readAll());
    return false;
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(1000);
}

MqttProbe::MqttProbe()
{
    mosquitto_lib_init();
    m_mosq = mosquitto_new(nullptr, true, this);
    mosquitto_connect_callback_set(m_mosq, [](mosquitto *m, void *self, int rc) {
        auto *probe = static_cast<MqttProbe *>(self);
        if (rc == 0) mosquitto_subscribe(m, nullptr, probe->m_topic.constData(), 1);
    });
    mosquitto_subscribe_callback_set(m_mosq, [](mosquitto *, void *self, int, int, const int *) {
        auto *probe = static_cast<MqttProbe *>(self);
        QMutexLocker lock(&probe->m_mutex);
        probe->m_subscribed = true;
    });
    mosquitto_message_callback_set(m_mosq, [](mosquitto *, void *self, const mosquitto_message *message) {
        auto *probe = static_cast<MqttProbe *>(self);
        QMutexLocker lock(&probe->m_mutex);
        probe->m_messages.append(
            {QByteArray(message->topic),
             QByteArray(static_cast<const char *>(message->payload), message->payloadlen), message->retain});
    });
    mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
}

MqttProbe::~MqttProbe()
{
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, true);
    mosquitto_destroy(m_mosq);
}

bool MqttProbe::subscribe(int port, const QByteArray &topic)
{
    m_topic = topic;
    mosquitto_loop_start(m_mosq);
    mosquitto_connect_async(m_mosq, "127.0.0.1", port, 30);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        {
            QMutexLocker lock(&m_mutex);
            if (m_subscribed) return true;
        }
        QThread::msleep(20);
    }
    return false;
}

QList<MqttProbe::Message> MqttProbe::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

QList<MqttProbe::Message> MqttProbe::messagesOn(const QByteArray &topic) const
{
    QList<Message> on;
    for (const Message &message : messages())
        if (message.topic == topic) on.append(message);
    return on;
}
