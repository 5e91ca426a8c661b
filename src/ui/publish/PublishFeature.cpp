#include "ui/publish/PublishFeature.h"

#include <QMainWindow>
#include <QStatusBar>

#include "core/commands/Commands.h"
#include "core/publish/MqttPublisher.h"
#include "core/publish/PublishSettings.h"
#include "core/session/Session.h"
#include "ui/common/ElidedLabel.h"
#include "ui/publish/PublishDialog.h"

namespace
{

QString statusText(const QString &state)
{
    return PublishFeature::tr("MQTT: %1").arg(state);
}

} // namespace

PublishFeature::PublishFeature(Session &session, QMainWindow &frame)
    : QObject(&frame), m_session(session), m_frame(frame),
      m_status(new ElidedLabel(statusText(session.mqtt().client().stateText()), frame.statusBar()))
{
    m_status->setObjectName(QStringLiteral("publishStatus"));
    // On the status bar, not in the menu bar, whose entries it would push behind the extension
    // button in the longer languages.
    frame.statusBar()->addWidget(m_status, 1);
    connect(&session.mqtt(), &MqttPublisher::stateChanged, m_status,
            [this](MqttClient::State, const QString &text) { m_status->setFullText(statusText(text)); });
}

PublishFeature *PublishFeature::install(Session &session, QMainWindow &frame)
{
    auto *feature = new PublishFeature(session, frame);
    session.commandProcs().setHandler(Command::PublishReadings, [feature] { feature->openDialog(); });
    return feature;
}

void PublishFeature::openDialog()
{
    PublishDialog dialog(PublishSettings::load(m_session.store()), &m_frame);
    if (dialog.exec() != QDialog::Accepted) return;
    const PublishOptions options = dialog.options();
    QString error;
    if (!PublishSettings::save(m_session.store(), options, &error)) m_status->setFullText(statusText(error));
    if (options.url.isEmpty()) {
        m_session.mqtt().stop();
        return;
    }
    if (!m_session.mqtt().start(options, &error)) m_status->setFullText(statusText(error));
}
