#include "ui/publish/PublishDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

PublishDialog::PublishDialog(const PublishOptions &options, QWidget *parent)
    : QDialog(parent), m_url(new QLineEdit(options.url, this)),
      m_password(new QLineEdit(options.password, this)), m_prefix(new QLineEdit(options.prefix, this)),
      m_discovery(new QCheckBox(tr("Home Assistant discovery"), this)), m_qos(new QComboBox(this)),
      m_caFile(new QLineEdit(options.caFile, this)), m_result(new QLabel(this))
{
    setObjectName(QStringLiteral("PublishDialog"));
    setWindowTitle(tr("Publish readings"));
    m_url->setObjectName(QStringLiteral("url"));
    m_url->setPlaceholderText(QStringLiteral("mqtt://[user[:password]@]host[:port]"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_prefix->setObjectName(QStringLiteral("prefix"));
    m_discovery->setObjectName(QStringLiteral("discovery"));
    m_discovery->setChecked(options.discovery);
    m_qos->setObjectName(QStringLiteral("qos"));
    m_qos->addItems({QStringLiteral("0"), QStringLiteral("1")});
    m_qos->setCurrentIndex(options.qos == 1 ? 1 : 0);
    m_caFile->setObjectName(QStringLiteral("caFile"));
    m_caFile->setPlaceholderText(tr("the system's CA certificates"));
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setWordWrap(true);

    auto *form = new QFormLayout(this);
    form->addRow(tr("Broker (empty: off)"), m_url);
    form->addRow(tr("Password"), m_password);
    form->addRow(tr("Topic prefix"), m_prefix);
    form->addRow(QString(), m_discovery);
    form->addRow(tr("Quality of service"), m_qos);
    form->addRow(tr("CA file (mqtts)"), m_caFile);
    form->addRow(m_result);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *testButton = buttons->addButton(tr("Test"), QDialogButtonBox::ActionRole);
    testButton->setObjectName(QStringLiteral("test"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PublishDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PublishDialog::reject);
    connect(testButton, &QPushButton::clicked, this, &PublishDialog::test);
    connect(&m_probe, &MqttClient::stateChanged, this, [this](MqttClient::State state, const QString &text) {
        if (state == MqttClient::State::Off) return;
        m_result->setText(text);
        if (state != MqttClient::State::Connecting) m_probe.stop();
    });
}

PublishOptions PublishDialog::options() const
{
    PublishOptions options;
    options.url = m_url->text().trimmed();
    options.password = m_password->text();
    options.prefix = m_prefix->text();
    options.discovery = m_discovery->isChecked();
    options.qos = m_qos->currentIndex();
    options.caFile = m_caFile->text().trimmed();
    return options;
}

QString PublishDialog::check() const
{
    const PublishOptions chosen = options();
    if (chosen.url.isEmpty()) return {};
    BrokerAddress address;
    return PublishRules::check(chosen, &address);
}

void PublishDialog::accept()
{
    const QString problem = check();
    if (!problem.isEmpty()) {
        m_result->setText(problem);
        return;
    }
    m_probe.stop();
    QDialog::accept();
}

void PublishDialog::test()
{
    const PublishOptions chosen = options();
    QString problem = chosen.url.isEmpty() ? tr("no broker given") : check();
    MqttClient::Config config;
    if (problem.isEmpty()) {
        PublishRules::check(chosen, &config.broker);
        config.caFile = chosen.caFile;
        if (m_probe.start(config, &problem)) return; // what happens is shown as it comes
    }
    m_result->setText(problem);
}
