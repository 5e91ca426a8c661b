// The "Publish readings" dialog and the publisher's state on the main window's status line.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/commands/Commands.h"
#include "core/publish/MqttPublisher.h"
#include "core/recording/RecordingControl.h"
#include "support/MosquittoBroker.h"
#include "support/RecorderRig.h"
#include "support/RecordingSession.h"
#include "ui/publish/PublishDialog.h"
#include "ui/shell/MainFm.h"

class TestGuiPublish : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!MosquittoBroker::available()) QSKIP("mosquitto or openssl is not installed");
    }
    // ... and Save Data under another name is published as the file written.
    void statusLineFollowsThePublisher()
    {
        RecordingSession rig;
        MainFm frame(rig.session);
        frame.show(); // the status bar lays the status out
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto *status = frame.findChild<QLabel *>(QStringLiteral("publishStatus"));
        QVERIFY(status);
        QCOMPARE(status->text(), QStringLiteral("MQTT: off"));
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.errorString()));
        PublishOptions options;
        options.url = broker.url();
        options.prefix = QStringLiteral("gui");
        QVERIFY(rig.session.mqtt().start(options, nullptr));
        const QString connected = QStringLiteral("MQTT: connected to 127.0.0.1:%1").arg(broker.port());
        QTRY_COMPARE(status->text(), connected);
        // Where it has no room, it is cut short and the whole text is its tooltip.
        status->resize(60, status->height());
        QVERIFY(status->text().endsWith(QChar(0x2026)) && status->toolTip() == connected);
        MqttProbe live;
        QVERIFY(live.subscribe(broker.port(), "gui/record"));
        rig.start();
        rig.feed(benchFrame(0, 1));
        rig.session.recording().stop();
        QTemporaryDir folder;
        rig.prompts.queueFileName(folder.filePath(QStringLiteral("other-name.xlsx")));
        rig.session.commandProcs().run(Command::SaveData);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("other-name.xlsx"))));
        QTRY_COMPARE(live.messagesOn("gui/record").value(2).payload,
                     QByteArray(R"({"saved":"other-name.xlsx"})"));
    }
    void okRefusesWhatCannotBeUsedAndTestSaysWhatHappened()
    {
        PublishOptions options;
        options.prefix = QStringLiteral("gui");
        PublishDialog dialog(options);
        const QString notPem = QCoreApplication::applicationFilePath();
        for (const auto &[url, ca, told] :
             {std::tuple<QString, QString, QString>{
                  "mqtts://h", notPem, "cannot read the CA file " + notPem + ": it holds no PEM certificate"},
              {"mqtt://h:0", "", "the port must be a number from 1 to 65535"}}) {
            dialog.findChild<QLineEdit *>(QStringLiteral("url"))->setText(url);
            dialog.findChild<QLineEdit *>(QStringLiteral("caFile"))->setText(ca);
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(dialog.resultLabel()->text(), told);
        }
        MosquittoBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.errorString()));
        dialog.findChild<QLineEdit *>(QStringLiteral("url"))->setText(broker.url());
        dialog.findChild<QPushButton *>(QStringLiteral("test"))->click();
        QTRY_COMPARE(dialog.resultLabel()->text(),
                     QStringLiteral("connected to 127.0.0.1:%1").arg(broker.port()));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.options().url, broker.url());
    }
};

QTEST_MAIN(TestGuiPublish)
#include "tst_gui_publish.moc"
