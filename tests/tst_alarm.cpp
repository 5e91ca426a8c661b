#include <QtTest>

#include "link/FrameEncoder.h"
#include "monitor/Alarm.h"
#include "monitor/AlarmSound.h"
#include "monitor/MonitorFields.h"
#include "support/RecordingSession.h"

namespace
{

const QString DCVUnits = QStringLiteral("mV,V");

class CountingSound final : public AlarmSound
{
public:
    void play() override { ++plays; }
    int plays = 0;
};

// The main channel's function and range, and the alarm as armed by the Setup dialog.
void arm(Session &session, int function, int prefix, const QString &units, int unitIndex, int choice,
         const QString &limit)
{
    AcquisitionState &state = session.state();
    state.mainFunction = qint16(function);
    state.mainPrefix = qint16(prefix);
    state.alarmEnabled = true;
    AlarmSetup &setup = session.alarmSetup();
    setup.checked = true;
    setup.units = units.split(u',');
    setup.unitIndex = unitIndex;
    setup.choice = choice;
    (choice == 0 ? setup.hiText : setup.lowText) = limit;
    session.alarm().alm();
}

} // namespace

class TestAlarm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beepT1_data();
    void beepT1();
    void imagesFollowTheSound();
    void almShowsActiveLimit_data();
    void almShowsActiveLimit();
    void setUpForFunction_data();
    void setUpForFunction();
    void acLimitsNeverNegative();
    void firstMainReadingArmsFromStore();
    void beepHPlaysOneSound();
};

void TestAlarm::beepT1_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<QString>("units");
    QTest::addColumn<int>("unitIndex");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("limit");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("sounding");

    QTest::newRow("DCV mV range, limit 1 V: 999.9") << 0 << 2 << DCVUnits << 1 << 0 << "1"
                                                    << "999.9" << false;
    QTest::newRow("DCV mV range, limit 1 V: 1000.0") << 0 << 2 << DCVUnits << 1 << 0 << "1"
                                                     << "1000.0" << true;
    QTest::newRow("limit 500 mV, V range: 0.6") << 0 << 3 << DCVUnits << 0 << 0 << "500"
                                                << "0.6" << true;
    QTest::newRow("limit 500 mV, V range: 0.4") << 0 << 3 << DCVUnits << 0 << 0 << "500"
                                                << "0.4" << false;
    QTest::newRow("high 0: -0.000") << 0 << 3 << DCVUnits << 1 << 0 << "0"
                                    << "-0.000" << false;
    QTest::newRow("high 0: -0") << 0 << 3 << DCVUnits << 1 << 0 << "0"
                                << "-0" << false;
    QTest::newRow("high 0: 0.000") << 0 << 3 << DCVUnits << 1 << 0 << "0"
                                   << "0.000" << true;
    QTest::newRow("high -0: -0.000") << 0 << 3 << DCVUnits << 1 << 0 << "-0"
                                     << "-0.000" << true;
    QTest::newRow("high -1: -0.0") << 0 << 3 << DCVUnits << 1 << 0 << "-1"
                                   << "-0.0" << true;
    QTest::newRow("high 0: -0.5") << 0 << 3 << DCVUnits << 1 << 0 << "0"
                                  << "-0.5" << false;
    QTest::newRow("low 0: +0.00") << 0 << 3 << DCVUnits << 1 << 1 << "0"
                                  << "+0.00" << true;
    QTest::newRow("low -0: +0.00") << 0 << 3 << DCVUnits << 1 << 1 << "-0"
                                   << "+0.00" << false;
    QTest::newRow("low  -0 with blanks: +0") << 0 << 3 << DCVUnits << 1 << 1 << " -0"
                                             << "+0" << false;
    QTest::newRow("low 0: 0.01") << 0 << 3 << DCVUnits << 1 << 1 << "0"
                                 << "0.01" << false;
    QTest::newRow("low 5: 5") << 0 << 3 << DCVUnits << 1 << 1 << "5"
                              << "5" << true;
    QTest::newRow("high active: +OL") << 0 << 3 << DCVUnits << 1 << 0 << "100"
                                      << "+OL" << true;
    QTest::newRow("high active: -OL") << 0 << 3 << DCVUnits << 1 << 0 << "100"
                                      << "-OL" << false;
    QTest::newRow("low active: -OL") << 0 << 3 << DCVUnits << 1 << 1 << "100"
                                     << "-OL" << true;
    QTest::newRow("low active: +OL") << 0 << 3 << DCVUnits << 1 << 1 << "100"
                                     << "+OL" << false;
    QTest::newRow("ACA, limit 5 A: 5.0") << 3 << 3 << "A" << 0 << 0 << "5"
                                         << "5.0" << true;
    QTest::newRow("ACA mA range, limit 5 A: 4999") << 3 << 2 << "A" << 0 << 0 << "5"
                                                   << "4999" << false;
}

void TestAlarm::beepT1()
{
    QFETCH(int, function);
    QFETCH(int, prefix);
    QFETCH(QString, units);
    QFETCH(int, unitIndex);
    QFETCH(int, choice);
    QFETCH(QString, limit);
    QFETCH(QString, value);
    QFETCH(bool, sounding);
    RecordingSession s;
    arm(s.session, function, prefix, units, unitIndex, choice, limit);
    s.session.monitor().bigValue = value;
    s.session.alarm().beepT1();
    QCOMPARE(s.session.state().alarmActive, sounding);
}

void TestAlarm::imagesFollowTheSound()
{
    RecordingSession s;
    arm(s.session, 0, 3, DCVUnits, 1, 0, QStringLiteral("10"));
    MonitorFields &monitor = s.session.monitor();
    QVERIFY(monitor.armedImageVisible);
    QVERIFY(!monitor.soundingImageVisible);
    monitor.bigValue = QStringLiteral("12");
    s.session.alarm().beepT1();
    QVERIFY(!monitor.armedImageVisible);
    QVERIFY(monitor.soundingImageVisible);
    monitor.bigValue = QStringLiteral("9.99");
    s.session.alarm().beepT1();
    QVERIFY(monitor.armedImageVisible);
    QVERIFY(!monitor.soundingImageVisible);
    QVERIFY(!s.session.state().alarmActive);
}

void TestAlarm::almShowsActiveLimit_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("label8");
    QTest::newRow("high") << true << 0 << QStringList{"12.5", "-", "V", ""};
    QTest::newRow("low") << true << 1 << QStringList{"-", "-3", "", "V"};
    QTest::newRow("off") << false << 0 << QStringList{"-", "-", "", ""};
}

void TestAlarm::almShowsActiveLimit()
{
    QFETCH(bool, armed);
    QFETCH(int, choice);
    QFETCH(QStringList, label8);
    RecordingSession s;
    AlarmSetup &setup = s.session.alarmSetup();
    setup.hiText = QStringLiteral("12.5");
    setup.lowText = QStringLiteral("-3");
    setup.units = DCVUnits.split(u',');
    setup.unitIndex = 1;
    setup.choice = choice;
    s.session.state().alarmEnabled = armed;
    s.session.state().alarmActive = true;
    QSignalSpy changed(&s.session.monitor(), &MonitorFields::changed);

    s.session.alarm().alm();
    const MonitorFields &monitor = s.session.monitor();
    QCOMPARE((QStringList{monitor.label8[2], monitor.label8[3], monitor.label8[4], monitor.label8[5]}),
             label8);
    QCOMPARE(monitor.armedImageVisible, armed);
    QVERIFY(!monitor.soundingImageVisible);
    QVERIFY(!s.session.state().alarmActive);
    QCOMPARE(changed.count(), 1);
}

void TestAlarm::setUpForFunction_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<QString>("storedAlarm");
    QTest::addColumn<QString>("storedUnit");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("units");
    QTest::addColumn<int>("unitIndex");
    QTest::newRow("DCV on, unit V") << 0 << "1"
                                    << "1" << true << QStringList{"mV", "V"} << 1;
    QTest::newRow("DCV on, no unit stored") << 0 << "1"
                                            << "" << true << QStringList{"mV", "V"} << 0;
    QTest::newRow("DCV on, no unit selected") << 0 << "1"
                                              << "-1" << true << QStringList{"mV", "V"} << -1;
    QTest::newRow("DCV off") << 0 << "0"
                             << "1" << false << QStringList{"mV", "V"} << 1;
    QTest::newRow("ACV on") << 1 << "1"
                            << "1" << true << QStringList{"V"} << 0;
    QTest::newRow("DCA on") << 2 << "1"
                            << "" << true << QStringList{"A"} << 0;
    QTest::newRow("ACA on") << 3 << "1"
                            << "" << true << QStringList{"A"} << 0;
    QTest::newRow("OHM") << 4 << "1"
                         << "1" << false << QStringList{} << -1;
    QTest::newRow("Continuity") << 9 << "1"
                                << "" << false << QStringList{} << -1;
}

void TestAlarm::setUpForFunction()
{
    QFETCH(int, function);
    QFETCH(QString, storedAlarm);
    QFETCH(QString, storedUnit);
    QFETCH(bool, enabled);
    QFETCH(QStringList, units);
    QFETCH(int, unitIndex);
    RecordingSession s;
    s.store.save(QStringLiteral("setup_Alarm"), storedAlarm);
    if (!storedUnit.isEmpty()) s.store.save(QStringLiteral("setup_unit"), storedUnit);
    s.session.state().alarmActive = true;

    s.session.alarm().setUpForFunction(function);
    const AlarmSetup &setup = s.session.alarmSetup();
    const bool canCarry = function <= 3;
    QCOMPARE(setup.checkEnabled, canCarry);
    QCOMPARE(setup.checked, enabled);
    QCOMPARE(setup.controlsEnabled, enabled);
    QCOMPARE(s.session.state().alarmEnabled, enabled);
    QCOMPARE(setup.units, units);
    if (canCarry) {
        QCOMPARE(setup.unitIndex, unitIndex);
    } else {
        QVERIFY(!s.session.state().alarmActive);
        QCOMPARE(s.session.monitor().label8[2], QStringLiteral("-"));
    }
}

void TestAlarm::acLimitsNeverNegative()
{
    RecordingSession s;
    AlarmSetup &setup = s.session.alarmSetup();
    setup.hiText = QStringLiteral("-5");
    setup.lowText = QStringLiteral("-0.5");
    s.session.alarm().fillUnits(0);
    QCOMPARE(setup.hiText, QStringLiteral("-5"));
    s.session.alarm().fillUnits(3);
    QCOMPARE(setup.hiText, QStringLiteral("0"));
    QCOMPARE(setup.lowText, QStringLiteral("0"));
}

void TestAlarm::firstMainReadingArmsFromStore()
{
    RecordingSession s;
    s.store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
    s.store.save(QStringLiteral("setup_unit"), QStringLiteral("1"));
    s.session.alarmSetup().choice = 0;
    s.session.alarmSetup().hiText = QStringLiteral("10");
    s.start();
    FrameEncoder::Header h;
    s.feed(FrameEncoder::encodeReading(h, 12)); // DCV 12 V
    const MonitorFields &monitor = s.session.monitor();
    QVERIFY(s.session.state().alarmEnabled);
    QCOMPARE(monitor.label8[2], QStringLiteral("10"));
    QCOMPARE(monitor.label8[4], QStringLiteral("V"));
    QVERIFY(s.session.state().alarmActive);
    QVERIFY(monitor.soundingImageVisible);

    // The Setup dialog switches the alarm off: the next reading disarms it.
    s.session.state().alarmEnabled = false;
    s.feed(FrameEncoder::encodeReading(h, 13));
    QVERIFY(!s.session.state().alarmActive);
    QVERIFY(!monitor.soundingImageVisible);
    QCOMPARE(monitor.label8[2], QStringLiteral("-"));
}

void TestAlarm::beepHPlaysOneSound()
{
    RecordingSession s;
    CountingSound sound;
    s.session.setAlarmSound(&sound);
    s.session.alarm().beepH();
    QCOMPARE(sound.plays, 1);
    s.session.setAlarmSound(nullptr);
}

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
