// The monitor's rules: the channel statistics, the Hi/Low alarm, and the big display.
#include <QtTest>

#include "core/link/FrameEncoder.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/recording/RecordingControl.h"
#include "core/setup/AlarmPart.h"
#include "support/RecorderRig.h"
#include "support/RecordingSession.h"

using namespace Qt::StringLiterals;

namespace
{

constexpr int Milli = 2;
constexpr int NoPrefix = 3;
constexpr int High = 0;
constexpr int Low = 1;

// DCV on channel 0 unless told otherwise.
QByteArray volts(int digits, int prefix = NoPrefix, int decimalCode = FrameEncoder::Divisor1, int channel = 0)
{
    return FrameEncoder::encodeReading({channel, 0, prefix, 0, decimalCode, false}, digits);
}

QByteArray overload(bool negative = false, int channel = 0, int decimalCode = FrameEncoder::Divisor1)
{
    return FrameEncoder::encodeOverload({channel, 0, NoPrefix, 0, decimalCode, negative});
}

// The main channel's function and range, and the alarm as armed by the Setup dialog.
void arm(RecorderRig &rig, int function, int prefix, int unitIndex, int choice, const QString &limit)
{
    rig.state.main.function = qint16(function);
    rig.state.main.prefix = qint16(prefix);
    rig.state.main.alarmEnabled = true;
    AlarmSetup &setup = rig.alarmSetup;
    setup.checked = true;
    setup.units = function == 0 ? QStringList{"mV", "V"} : QStringList{"A"};
    setup.unitIndex = unitIndex;
    setup.choice = choice;
    (choice == High ? setup.hiText : setup.lowText) = limit;
    rig.alarm.alm();
}

QStringList limitFields(const MonitorFields &m)
{
    return {m.alarmLimits.high, m.alarmLimits.low, m.alarmLimits.highUnit, m.alarmLimits.lowUnit};
}

} // namespace

class TestMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The monitor's average, its unit, the maximum and the minimum.
    void average_data()
    {
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QString>("shown");
        const int d10 = FrameEncoder::Divisor10;
        const int d100 = FrameEncoder::Divisor100, d1000 = FrameEncoder::Divisor1000;
        QTest::newRow("first sample, /1000")
            << QList{volts(1234, NoPrefix, d1000)} << u"1.234 V 1.234 1.234"_s;
        QTest::newRow("#####0 rounds half up") << QList{volts(1), volts(2)} << u"2 V 2 1"_s;
        QTest::newRow("###0.0") << QList{volts(123, NoPrefix, d10), volts(124, NoPrefix, d10)}
                                << u"12.4 V 12.4 12.3"_s;
        QTest::newRow("###0.00") << QList{volts(100, NoPrefix, d100), volts(200, NoPrefix, d100),
                                          volts(400, NoPrefix, d100)}
                                 << u"2.33 V 4.00 1.00"_s;
        QTest::newRow("###0.000") << QList{volts(1000, NoPrefix, d1000), volts(1002, NoPrefix, d1000)}
                                  << u"1.001 V 1.002 1.000"_s;
        // The extremes go to the new range as numbers.
        QTest::newRow("range change rescales the sum")
            << QList{volts(5000, Milli, d10), volts(1000, NoPrefix, d1000)} << u"0.750 V 1.000 0.5"_s;
        // An overload in the V range: not counted, yet a range change there and back.
        QTest::newRow("uncounted overload keeps the sum's range")
            << QList{volts(5000, Milli, d10), overload(false, 0, d10), volts(3000, Milli, d10)}
            << u"400.0 mV 500.0 300.0"_s;
        // An overload has no value to average; as an extreme it stands for the range's limit, and
        // a value equal to that limit keeps it.
        QTest::newRow("overloads") << QList{overload(), volts(999)} << u"999 V +OL 999"_s;
        QTest::newRow("overloads both ways, one equal to the limit")
            << QList{overload(), volts(999), overload(true), volts(1000)} << u"1000 V +OL -OL"_s;
        // A "+OL" kept from the V range stands for the mV range's limit after the change.
        QTest::newRow("an overload extreme in the new range")
            << QList{overload(), volts(5000, Milli)} << u"5000 mV +OL 5000"_s;
    }
    void average()
    {
        QFETCH(QList<QByteArray>, frames);
        RecorderRig rig;
        for (const QByteArray &frame : frames)
            rig.feed(frame);
        const MonitorFields &m = rig.monitor;
        QTEST(QStringList({m.average.value, m.average.unit, m.maximum.value, m.minimum.value}).join(u' '),
              "shown");
    }
    void equalExtremesKeepTheFirstTime()
    {
        RecorderRig rig;
        for (const int digits : {5, 7, 7, 3, 3}) {
            rig.feed(volts(digits));
            rig.clock.advance(60 * 1000);
        }
        const ShownExtreme &max = rig.monitor.maximum, &min = rig.monitor.minimum;
        QCOMPARE(QStringList({max.value, max.time, min.value, min.time}).join(u' '),
                 u"7 09:31:00 3 09:33:00"_s);
    }
    void otherChannelsOverloadUsesItsOwnLimits()
    {
        RecorderRig rig;
        rig.feed(
            FrameEncoder::encodeReading({0, 0, NoPrefix, 7, FrameEncoder::Divisor10, false}, 500)); // Duty
        rig.feed(overload(false, 1));
        rig.feed(volts(500, NoPrefix, FrameEncoder::Divisor1, 1)); // above the main channel's 99.9 %
        QCOMPARE(rig.statistics.channel(1).maximum.text, u"+OL"_s);
    }
    // The alarm's functions, units and AC limits, the same on the main channel's first reading and
    // at Setup's load: the alarm's box enabled, the unit list with its selection, the high limit.
    void alarmRules_data()
    {
        QTest::addColumn<Measurement::Function>("function");
        QTest::addColumn<QString>("storedUnit"); // setup_unit as stored; empty: none stored
        QTest::addColumn<QString>("alarmPart");
        QTest::newRow("DCV, V stored") << Measurement::DCV << u"1"_s << u"1 mV,V:V -0.5"_s;
        QTest::newRow("DCV, nothing stored") << Measurement::DCV << QString() << u"1 mV,V:mV -0.5"_s;
        QTest::newRow("DCV, -1 stored") << Measurement::DCV << u"-1"_s << u"1 mV,V:mV -0.5"_s;
        QTest::newRow("DCV, beyond the list") << Measurement::DCV << u"2"_s << u"1 mV,V:mV -0.5"_s;
        QTest::newRow("ACV: AC limits not below 0") << Measurement::ACV << u"1"_s << u"1 V:V 0"_s;
        QTest::newRow("DCA keeps a negative limit") << Measurement::DCA << u"1"_s << u"1 A:A -0.5"_s;
        QTest::newRow("ACA") << Measurement::ACA << u"0"_s << u"1 A:A 0"_s;
        QTest::newRow("OHM: no alarm") << Measurement::OHM << u"1"_s << u"0 : -0.5"_s;
    }
    void alarmRules()
    {
        QFETCH(Measurement::Function, function);
        QFETCH(QString, storedUnit);
        const auto part = [](bool checkEnabled, const AlarmRules::Units &units, const QString &high) {
            return QString(QString::number(checkEnabled) + u' ' + units.entries.join(u',') + u':' +
                           units.selected() + u' ' + high);
        };
        RecorderRig rig;
        if (!storedUnit.isEmpty()) rig.store.save(u"setup_unit"_s, storedUnit);
        AlarmSetup &setup = rig.alarmSetup;
        setup.hiText = u"-0.5"_s;
        rig.alarm.setUpForFunction(function);
        QTEST(part(setup.checkEnabled, {setup.units, setup.unitIndex}, setup.hiText), "alarmPart");
        const AlarmApplication load =
            AlarmPart::onLoad({true, function, true, 0, u"-0.5"_s, {}}, storedUnit.toInt());
        QTEST(part(load.checkEnabled, load.units, load.highText), "alarmPart");
    }
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
        QTest::newRow("mV range, high 1 V: 999.9") << 0 << 2 << 1 << u"1"_s << High << u"999.9"_s << false;
        QTest::newRow("mV range, high 1 V: 1000.0") << 0 << 2 << 1 << u"1"_s << High << u"1000.0"_s << true;
        QTest::newRow("V range, high 500 mV: 0.6") << 0 << 3 << 0 << u"500"_s << High << u"0.6"_s << true;
        // a reading equal to the limit reaches it, whatever the ranges
        QTest::newRow("V range, high 1000 mV: 1.000")
            << 0 << 3 << 0 << u"1000"_s << High << u"1.000"_s << true;
        QTest::newRow("mV range, low 1 V: 1000.0") << 0 << 2 << 1 << u"1"_s << Low << u"1000.0"_s << true;
        QTest::newRow("high 0.7 V: 0.700") << 0 << 3 << 1 << u"0.7"_s << High << u"0.700"_s << true;
        QTest::newRow("high 0: -0.000") << 0 << 3 << 1 << u"0"_s << High << u"-0.000"_s << false;
        QTest::newRow("high 0: 0.000") << 0 << 3 << 1 << u"0"_s << High << u"0.000"_s << true;
        QTest::newRow("high -0: -0.000") << 0 << 3 << 1 << u"-0"_s << High << u"-0.000"_s << true;
        QTest::newRow("low 0: +0.00") << 0 << 3 << 1 << u"0"_s << Low << u"+0.00"_s << true;
        QTest::newRow("low -0: +0.00") << 0 << 3 << 1 << u"-0"_s << Low << u"+0.00"_s << false;
        QTest::newRow("low  -0 with blanks: +0") << 0 << 3 << 1 << u" -0"_s << Low << u"+0"_s << false;
        QTest::newRow("high active: +OL") << 0 << 3 << 1 << u"100"_s << High << u"+OL"_s << true;
        QTest::newRow("high active: -OL") << 0 << 3 << 1 << u"100"_s << High << u"-OL"_s << false;
        QTest::newRow("low active: -OL") << 0 << 3 << 1 << u"100"_s << Low << u"-OL"_s << true;
        QTest::newRow("ACA mA range, high 5 A: 4999") << 3 << 2 << 0 << u"5"_s << High << u"4999"_s << false;
    }
    void beepT1()
    {
        QFETCH(int, function);
        QFETCH(int, prefix);
        QFETCH(int, unitIndex);
        QFETCH(QString, limit);
        QFETCH(int, choice);
        QFETCH(QString, value);
        RecorderRig rig;
        arm(rig, function, prefix, unitIndex, choice, limit);
        rig.state.reading.valueText = value;
        rig.alarm.beepT1();
        QTEST(rig.state.main.alarmActive, "sounding");
    }
    void almShowsActiveLimit_data()
    {
        QTest::addColumn<bool>("armed");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QStringList>("limits");
        QTest::newRow("high") << true << High << QStringList{"12.5", "-", "V", ""};
        QTest::newRow("low") << true << Low << QStringList{"-", "12.5", "", "V"};
        QTest::newRow("off") << false << High << QStringList{"-", "-", "", ""};
    }
    void almShowsActiveLimit()
    {
        QFETCH(bool, armed);
        QFETCH(int, choice);
        RecorderRig rig;
        arm(rig, 0, 3, 1, choice, u"12.5"_s);
        rig.state.main.alarmEnabled = armed;
        rig.state.main.alarmActive = true;
        QSignalSpy changed(&rig.monitor, &MonitorFields::changed);
        rig.alarm.alm();
        QTEST(limitFields(rig.monitor), "limits");
        QCOMPARE(rig.monitor.armedImageVisible, armed);
        QVERIFY(!rig.monitor.soundingImageVisible);
        QVERIFY(!rig.state.main.alarmActive); // alm() silences
        QCOMPARE(changed.count(), 1);
    }
    void firstMainReadingArmsFromStore()
    {
        RecordingSession s;
        s.store.save(u"setup_Alarm"_s, u"1"_s);
        s.store.save(u"setup_unit"_s, u"1"_s);
        s.session.alarmSetup().hiText = u"10"_s;
        s.start();
        const MonitorFields &monitor = s.session.monitor();
        const auto shows = [&](int volts, bool sounding, bool armed) {
            s.feed(FrameEncoder::encodeReading({}, volts)); // DCV
            QCOMPARE(s.session.state().main.alarmActive, sounding);
            QCOMPARE(monitor.soundingImageVisible, sounding);
            QCOMPARE(monitor.armedImageVisible, armed);
        };
        shows(12, true, false);
        QCOMPARE(limitFields(monitor), QStringList({"10", "-", "V", ""}));
        shows(9, false, true);
        // The Setup dialog switches the alarm off: the next reading disarms it.
        s.session.state().main.alarmEnabled = false;
        shows(13, false, false);
        QCOMPARE(monitor.alarmLimits.high, u"-"_s);
    }
    void channelChoiceSetsAlarmControls()
    {
        RecordingSession s;
        s.store.save(u"setup_Alarm"_s, u"1"_s);
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
        QCOMPARE(s.session.state().main.channel, 2);
        QCOMPARE(monitor.channelIndex, 2);
        QVERIFY(s.session.state().main.alarmEnabled && monitor.armedImageVisible);
        const AlarmSetup armed = s.session.alarmSetup();
        for (const bool recording : {true, false}) {
            if (!recording) s.session.recording().stop();
            s.session.alarmSetup() = armed;
            s.session.channelSelector().select(1);
            const AlarmSetup &setup = s.session.alarmSetup();
            QVERIFY(!setup.checkEnabled && !setup.checked && !setup.controlsEnabled);
            QVERIFY(!s.session.state().main.alarmEnabled && !monitor.armedImageVisible);
            QCOMPARE(limitFields(monitor), QStringList({"-", "-", "", ""}));
        }
    }
    void stopTakesLostOffTheDisplay()
    {
        RecordingSession s;
        s.start();
        s.feed(FrameEncoder::encodeReading({}, 12));
        const MonitorFields &monitor = s.session.monitor();
        const QString reading = monitor.bigValue + monitor.bigUnit;
        s.serial.loseDevice();
        QCOMPARE(monitor.bigValue, u"LOST"_s);
        s.session.recording().stop();
        QCOMPARE(monitor.bigValue + monitor.bigUnit, reading);
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
