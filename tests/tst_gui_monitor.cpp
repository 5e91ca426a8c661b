// The monitor window renders the core's monitor fields: initial texts, captions, merged
// repaints, the channel selector, colours, alarm images and proportional resizing.
#include <QtTest>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <memory>

#include "common/AppPaths.h"
#include "link/FrameEncoder.h"
#include "monitor/FmMonitor.h"
#include "monitor/MonitorFields.h"
#include "monitor/QtAlarmSound.h"
#include "support/RecordingSession.h"

class TestMonitorWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void initialTexts_data();
    void initialTexts();
    void captions();
    void changesAreRenderedOnce();
    void selectorForwardsOnlyUserPicks();
    void coloursFromSettings();
    void alarmImagesFollowFields_data();
    void alarmImagesFollowFields();
    void resizeScalesFieldsAndFonts();
    void receivedFrameReachesDisplay();
    void alarmSoundNeverWaits();

private:
    QString text(const QString &control) const
    {
        const QLabel *label = m_monitor->field(control);
        return label ? label->text() : QStringLiteral("<no %1>").arg(control);
    }
    MonitorFields &fields() { return m_rig->session.monitor(); }

    std::unique_ptr<RecordingSession> m_rig;
    std::unique_ptr<FmMonitor> m_monitor;
};

void TestMonitorWindow::init()
{
    m_rig = std::make_unique<RecordingSession>();
    m_monitor = std::make_unique<FmMonitor>(m_rig->session);
}

void TestMonitorWindow::cleanup()
{
    m_monitor.reset();
    m_rig.reset();
}

void TestMonitorWindow::initialTexts_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");
    QTest::newRow("big value") << "Label1(0)"
                               << "-????.?";
    QTest::newRow("big unit") << "Label2(0)"
                              << "??";
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("statistic %d", i) << QStringLiteral("Label15(%1)").arg(i) << "-";
        QTest::addRow("statistic unit %d", i) << QStringLiteral("Label15(%1)").arg(i + 3) << "";
    }
    QTest::newRow("time of maximum") << "Label16(1)"
                                     << "-";
    QTest::newRow("time of minimum") << "Label16(2)"
                                     << "-";
    for (int i = 0; i < 4; ++i)
        QTest::addRow("interval and limits %d", i) << QStringLiteral("Label8(%1)").arg(i) << "-";
    QTest::newRow("high limit unit") << "Label8(4)"
                                     << "";
    QTest::newRow("low limit unit") << "Label8(5)"
                                    << "";
    QTest::newRow("serial number") << "Label17(0)"
                                   << "-";
    QTest::newRow("place") << "Label17(1)"
                           << "-";
    QTest::newRow("file") << "Label7"
                          << "";
    QTest::newRow("received channels") << "Label4"
                                       << "";
    QTest::newRow("type") << "Label11"
                          << "";
}

void TestMonitorWindow::initialTexts()
{
    QFETCH(QString, control);
    QFETCH(QString, expected);
    QCOMPARE(text(control), expected);
    QVERIFY(m_monitor->field("Image1(0)")->isHidden());
    QVERIFY(m_monitor->field("Image1(1)")->isHidden());
    QCOMPARE(m_monitor->channelSelector()->count(), 0);
}

void TestMonitorWindow::captions()
{
    QCOMPARE(m_monitor->windowTitle(), QStringLiteral("Monitor"));
    QStringList shown;
    for (const QLabel *label : m_monitor->findChildren<QLabel *>())
        shown.append(label->text());
    for (const char *caption : {"File ", "Received Channels     ", "Main Display ", "Type ", "Serial Number",
                                "Place", "Value", "Unit", "Time", "Avg", "Max", "Min"})
        QVERIFY2(shown.contains(QLatin1String(caption)), caption);
    QStringList groups;
    for (const QGroupBox *group : m_monitor->findChildren<QGroupBox *>())
        groups.append(group->title());
    QVERIFY(groups.contains("Current Setting"));
    QVERIFY(groups.contains("Main Record"));
}

void TestMonitorWindow::changesAreRenderedOnce()
{
    QSignalSpy rendered(m_monitor.get(), &FmMonitor::rendered);
    fields().bigValue = QStringLiteral("+12.34");
    fields().notify();
    fields().bigUnit = QStringLiteral("mV");
    fields().notify();
    fields().stats[0] = QStringLiteral("11.00");
    fields().notify();
    QCOMPARE(text("Label1(0)"), QStringLiteral("-????.?"));
    QTRY_COMPARE(rendered.count(), 1);
    QCOMPARE(text("Label1(0)"), QStringLiteral("+12.34"));
    QCOMPARE(text("Label2(0)"), QStringLiteral("mV"));
    QCOMPARE(text("Label15(0)"), QStringLiteral("11.00"));
    QTest::qWait(5);
    QCOMPARE(rendered.count(), 1);
}

void TestMonitorWindow::selectorForwardsOnlyUserPicks()
{
    QSignalSpy picks(&fields(), &MonitorFields::entrySelected);
    fields().channelEntries = {QStringLiteral("1_Ch1"), QStringLiteral("3_Ch3")};
    fields().channelIndex = 0;
    m_monitor->renderNow();
    QComboBox *combo = m_monitor->channelSelector();
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(1), QStringLiteral("3_Ch3"));
    QCOMPARE(combo->currentIndex(), 0);
    fields().channelIndex = 1;
    m_monitor->renderNow();
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(picks.count(), 0);

    // The user picks the first entry again.
    m_monitor->show();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(picks.count(), 1);
    QCOMPARE(picks.first().first().toInt(), 0);
}

void TestMonitorWindow::coloursFromSettings()
{
    const auto colours = [](const QWidget *widget) {
        return std::make_pair(widget->palette().color(QPalette::WindowText),
                              widget->palette().color(QPalette::Window));
    };
    // The defaults: white on green.
    QCOMPARE(colours(m_monitor->field("Label1(0)")), std::make_pair(QColor(Qt::white), QColor(0, 128, 0)));

    m_rig->session.settings().Moni_ForeColor = 0x0000FF;
    m_rig->session.settings().Moni_BackColor = 0x800000;
    m_monitor->applyColours();
    QCOMPARE(colours(m_monitor->field("Label1(0)")), std::make_pair(QColor(255, 0, 0), QColor(0, 0, 128)));
    const QWidget *box = m_monitor->findChild<QWidget *>("Picture1");
    QVERIFY(box);
    QCOMPARE(box->palette().color(QPalette::Window), QColor(0, 0, 128));
    QVERIFY(box->autoFillBackground());
}

void TestMonitorWindow::alarmImagesFollowFields_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("sounding");
    QTest::newRow("off") << false << false;
    QTest::newRow("armed and quiet") << true << false;
    QTest::newRow("sounding") << false << true;
}

void TestMonitorWindow::alarmImagesFollowFields()
{
    QFETCH(bool, armed);
    QFETCH(bool, sounding);
    fields().armedImageVisible = armed;
    fields().soundingImageVisible = sounding;
    fields().label8[2] = QStringLiteral("100");
    fields().label8[4] = QStringLiteral("mV");
    m_monitor->renderNow();
    QCOMPARE(m_monitor->field("Image1(0)")->isHidden(), !armed);
    QCOMPARE(m_monitor->field("Image1(1)")->isHidden(), !sounding);
    QVERIFY(!m_monitor->field("Image1(0)")->pixmap().isNull());
    QVERIFY(!m_monitor->field("Image1(1)")->pixmap().isNull());
    QCOMPARE(text("Label8(2)"), QStringLiteral("100"));
    QCOMPARE(text("Label8(4)"), QStringLiteral("mV"));
}

void TestMonitorWindow::resizeScalesFieldsAndFonts()
{
    const double dpiX = m_monitor->logicalDpiX();
    const double dpiY = m_monitor->logicalDpiY();
    const QSize design(qRound(FmMonitor::DesignWidth * dpiX / 1440),
                       qRound(FmMonitor::DesignHeight * dpiY / 1440));
    m_monitor->resize(design);
    m_monitor->show();
    QLabel *value = m_monitor->field("Label1(0)");
    QLabel *average = m_monitor->field("Label15(0)");
    const QRect valueAtDesign = value->geometry();
    const qreal valuePoints = value->font().pointSizeF();
    const qreal averagePoints = average->font().pointSizeF();
    QCOMPARE(averagePoints, 8.0);

    m_monitor->resize(design * 2);
    QCOMPARE(value->font().pointSizeF(), 2 * valuePoints);
    QCOMPARE(average->font().pointSizeF(), 2 * averagePoints);
    QVERIFY(qAbs(value->width() - 2 * valueAtDesign.width()) <= 1);
    QVERIFY(qAbs(value->x() - 2 * valueAtDesign.x()) <= 1);
    QVERIFY(qAbs(value->height() - 2 * valueAtDesign.height()) <= 1);

    // Back at the design size nothing has drifted.
    m_monitor->resize(design);
    QCOMPARE(value->geometry(), valueAtDesign);
    QCOMPARE(value->font().pointSizeF(), valuePoints);
}

void TestMonitorWindow::receivedFrameReachesDisplay()
{
    m_rig->start();
    FrameEncoder::Header header;
    header.decimalCode = FrameEncoder::Divisor100;
    m_rig->feed(FrameEncoder::encodeReading(header, 1234));
    QTRY_COMPARE(text("Label1(0)"), fields().bigValue);
    QVERIFY(text("Label1(0)").contains(QStringLiteral("12.34")));
    QCOMPARE(text("Label2(0)"), QStringLiteral("V"));
    QCOMPARE(text("Label11"), QStringLiteral("DCV"));
    QCOMPARE(m_monitor->channelSelector()->count(), 1);
    QCOMPARE(m_monitor->channelSelector()->itemText(0), QStringLiteral("1_Ch1"));
    QCOMPARE(text("Label7"), fields().file);
    QVERIFY(!text("Label7").isEmpty());
}

void TestMonitorWindow::alarmSoundNeverWaits()
{
    QVERIFY(!AppPaths::findAsset(QStringLiteral("ding.wav")).isEmpty());
    // The fallback tone: 125 ms of 16-bit mono samples at half scale, starting and ending quietly.
    const QByteArray tone = QtAlarmSound::tonePcm(22050, 2200, 125);
    QCOMPARE(tone.size(), 22050 * 125 / 1000 * 2);
    const auto *samples = reinterpret_cast<const qint16 *>(tone.constData());
    const int count = int(tone.size() / 2);
    int peak = 0;
    for (int i = 0; i < count; ++i)
        peak = qMax(peak, qAbs(int(qFromLittleEndian(samples[i]))));
    QVERIFY(peak > 16000 && peak <= 16384);
    QCOMPARE(int(qFromLittleEndian(samples[0])), 0);
    QVERIFY(qAbs(int(qFromLittleEndian(samples[count - 1]))) < 200);

    // Whatever this machine can play, a sound is only started, never waited for.
    QtAlarmSound sound;
    const QtAlarmSound::Route route = sound.route();
    sound.play();
    sound.play();
    QCOMPARE(sound.route(), route);
}

QTEST_MAIN(TestMonitorWindow)
#include "tst_gui_monitor.moc"
