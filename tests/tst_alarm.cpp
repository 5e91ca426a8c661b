#include <QTemporaryDir>
#include <QtTest>

#include "core/acquisition/AcquisitionState.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/recording/RecordingControl.h"
#include "core/settings/SettingsStore.h"
#include "support/RecordingSession.h"

namespace
{

constexpr int High = 0;
constexpr int Low = 1;

struct SilentSound final : AlarmSound {
    void play() override {}
};

// The alarm alone, with the state, monitor fields and Setup controls it works on.
struct AlarmRig {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    AcquisitionState state;
    MonitorFields monitor;
    AlarmSetup setup;
    SilentSound sound;
    Alarm alarm{state, monitor, setup, store, sound};

    // The main channel's function and range, and the alarm as armed by the Setup dialog.
    void arm(int function, int prefix, int unitIndex, int choice, const QString &limit)
    {
        state.mainFunction = qint16(function);
        state.mainPrefix = qint16(prefix);
        state.alarmEnabled = true;
        setup.checked = true;
        setup.units = function == 0 ? QStringList{"mV", "V"} : QStringList{"A"};
        setup.unitIndex = unitIndex;
        setup.choice = choice;
        (choice == High ? setup.hiText : setup.lowText) = limit;
        alarm.alm();
    }
};

} // namespace

class TestAlarm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void beepT1_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("unitIndex");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("sounding");
        // DCV units: 0 = mV, 1 = V; ranges: prefix 2 = m, 3 = none.
        QTest::newRow("mV range, high 1 V: 999.9") << 0 << 2 << 1 << "1" << High << "999.9" << false;
        QTest::newRow("mV range, high 1 V: 1000.0") << 0 << 2 << 1 << "1" << High << "1000.0" << true;
        QTest::newRow("V range, high 500 mV: 0.6") << 0 << 3 << 0 << "500" << High << "0.6" << true;
        // a reading equal to the limit reaches it, whatever the ranges
        QTest::newRow("V range, high 1000 mV: 1.000") << 0 << 3 << 0 << "1000" << High << "1.000" << true;
        QTest::newRow("mV range, low 1 V: 1000.0") << 0 << 2 << 1 << "1" << Low << "1000.0" << true;
        QTest::newRow("high 0.7 V: 0.700") << 0 << 3 << 1 << "0.7" << High << "0.700" << true;
        QTest::newRow("high 0: -0.000") << 0 << 3 << 1 << "0" << High << "-0.000" << false;
        QTest::newRow("high 0: 0.000") << 0 << 3 << 1 << "0" << High << "0.000" << true;
        QTest::newRow("high -0: -0.000") << 0 << 3 << 1 << "-0" << High << "-0.000" << true;
        QTest::newRow("low 0: +0.00") << 0 << 3 << 1 << "0" << Low << "+0.00" << true;
        QTest::newRow("low -0: +0.00") << 0 << 3 << 1 << "-0" << Low << "+0.00" << false;
        QTest::newRow("low  -0 with blanks: +0") << 0 << 3 << 1 << " -0" << Low << "+0" << false;
        QTest::newRow("high active: +OL") << 0 << 3 << 1 << "100" << High << "+OL" << true;
        QTest::newRow("high active: -OL") << 0 << 3 << 1 << "100" << High << "-OL" << false;
        QTest::newRow("low active: -OL") << 0 << 3 << 1 << "100" << Low << "-OL" << true;
        QTest::newRow("ACA mA range, high 5 A: 4999") << 3 << 2 << 0 << "5" << High << "4999" << false;
    }
    void beepT1()
    {
        QFETCH(int, function);
        QFETCH(int, prefix);
        QFETCH(int, unitIndex);
        QFETCH(QString, limit);
        QFETCH(int, choice);
        QFETCH(QString, value);
        QFETCH(bool, sounding);
        AlarmRig rig;
        rig.arm(function, prefix, unitIndex, choice, limit);
        rig.monitor.bigValue = value;
        rig.alarm.beepT1();
        QCOMPARE(rig.state.alarmActive, sounding);
    }
    void almShowsActiveLimit_data()
    {
        QTest::addColumn<bool>("armed");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("label8");
        QTest::newRow("high") << true << High << QStringList{"12.5", "-", "V", ""};
        QTest::newRow("low") << true << Low << QStringList{"-", "12.5", "", "V"};
        QTest::newRow("off") << false << High << QStringList{"-", "-", "", ""};
    }
    void almShowsActiveLimit()
    {
        QFETCH(bool, armed);
        QFETCH(int, choice);
        QFETCH(QStringList, label8);
        AlarmRig rig;
        rig.arm(0, 3, 1, choice, QStringLiteral("12.5"));
        rig.state.alarmEnabled = armed;
        rig.state.alarmActive = true;
        QSignalSpy changed(&rig.monitor, &MonitorFields::changed);

        rig.alarm.alm();
        const MonitorFields &monitor = rig.monitor;
        QCOMPARE(QStringList(monitor.label8.begin() + 2, monitor.label8.end()), label8);
        QCOMPARE(monitor.armedImageVisible, armed);
        QVERIFY(!monitor.soundingImageVisible);
        QVERIFY(!rig.state.alarmActive); // alm() silences
        QCOMPARE(changed.count(), 1);
    }
    void firstMainReadingArmsFromStore()
    {
        RecordingSession s;
        s.store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
        s.store.save(QStringLiteral("setup_unit"), QStringLiteral("1"));
        s.session.alarmSetup().hiText = QStringLiteral("10");
        s.start();
        s.feed(FrameEncoder::encodeReading({}, 12)); // DCV 12 V
        const MonitorFields &monitor = s.session.monitor();
        QCOMPARE(monitor.label8[2], QStringLiteral("10"));
        QCOMPARE(monitor.label8[4], QStringLiteral("V"));
        QVERIFY(s.session.state().alarmActive);
        QVERIFY(!monitor.armedImageVisible && monitor.soundingImageVisible);
        s.feed(FrameEncoder::encodeReading({}, 9));
        QVERIFY(!s.session.state().alarmActive);
        QVERIFY(monitor.armedImageVisible && !monitor.soundingImageVisible);

        // The Setup dialog switches the alarm off: the next reading disarms it.
        s.session.state().alarmEnabled = false;
        s.feed(FrameEncoder::encodeReading({}, 13));
        QVERIFY(!s.session.state().alarmActive);
        QVERIFY(!monitor.armedImageVisible && !monitor.soundingImageVisible);
        QCOMPARE(monitor.label8[2], QStringLiteral("-"));
    }
    void channelChoiceSetsAlarmControls()
    {
        RecordingSession s;
        s.store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
        s.start();
        s.feed(FrameEncoder::encodeReading({0, 0, 3, 1, 0, false}, 230)); // 1: ACV, armed, unit "V"
        s.feed(FrameEncoder::encodeReading({1, 0, 4, 4, 0, false}, 42));  // 2: OHM
        s.feed(FrameEncoder::encodeReading({2, 0, 3, 0, 0, false}, 12));  // 3: DCV
        const MonitorFields &monitor = s.session.monitor();
        QCOMPARE(s.session.alarmSetup().units, QStringList{"V"});
        s.session.channelSelector().select(2);
        QCOMPARE(s.session.alarmSetup().units, (QStringList{"mV", "V"}));
        QVERIFY(s.session.alarmSetup().controlsEnabled && monitor.armedImageVisible);
        // A meter heard later changes neither the choice nor its alarm.
        s.feed(FrameEncoder::encodeReading({3, 0, 4, 4, 0, false}, 7)); // 4: OHM
        QCOMPARE(s.session.state().mainChannel, 2);
        QCOMPARE(monitor.channelIndex, 2);
        QVERIFY(s.session.state().alarmEnabled && monitor.armedImageVisible);
        const AlarmSetup armed = s.session.alarmSetup();
        for (const bool recording : {true, false}) {
            if (!recording) s.session.recording().stop();
            s.session.alarmSetup() = armed;
            s.session.channelSelector().select(1);
            const AlarmSetup &setup = s.session.alarmSetup();
            QVERIFY(!setup.checkEnabled && !setup.checked && !setup.controlsEnabled);
            QVERIFY(!s.session.state().alarmEnabled && !monitor.armedImageVisible);
            QCOMPARE(QStringList(monitor.label8.begin() + 2, monitor.label8.end()),
                     (QStringList{"-", "-", "", ""}));
        }
    }
};

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
