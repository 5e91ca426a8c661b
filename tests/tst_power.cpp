#include <QSignalSpy>
#include <QtTest>

#include "core/measurement/MeasurementTables.h"
#include "core/power/ElapsedTime.h"
#include "core/power/PowerCostMonitor.h"

using namespace Qt::StringLiterals;

namespace
{

const PowerChannel Pump{u"Pump"_s, u"SN-7"_s, u"Hall 2"_s};
const PowerRates Rates{u"100"_s, u"1.0"_s, u"10"_s};
constexpr qint64 Hour = 3600 * 1000;

QStringList valuesOf(const PowerCostMonitor &monitor)
{
    return QStringList(monitor.values().begin(), monitor.values().end());
}

// Armed on DCA, then 10 A for one hour: charge 10.00, elapsed 0:1:0:0.
void oneHourAt10A(PowerCostMonitor &monitor)
{
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    monitor.power_rate(0, u"10"_s, u"A"_s, Rates);
    monitor.power_rate(Hour, u"10"_s, u"A"_s, Rates);
}

} // namespace

class TestPower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elapsedText_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << u"0:0:0:0"_s;
        QTest::newRow("seconds roll at 60") << qint64(60) << u"0:0:1:0"_s;
        QTest::newRow("3725 s") << qint64(3725) << u"0:1:2:5"_s;
        QTest::newRow("last second of a day") << qint64(86399) << u"0:23:59:59"_s;
        QTest::newRow("one day one hour") << qint64(90000) << u"1:1:0:0"_s;
        QTest::newRow("days do not roll") << qint64(400 * 86400 + 61) << u"400:0:1:1"_s;
        QTest::newRow("negative") << qint64(-5) << u"0:0:0:0"_s;
    }
    void elapsedText()
    {
        QFETCH(qint64, seconds);
        QTEST(time_dhms(seconds), "text");
    }
    void check_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<bool>("commandChecked");
        QTest::addColumn<QStringList>("values");
        const QStringList armed{"Pump", "SN-7", "Hall 2", "100", "1.0", "10", "0", "0"};
        const QStringList empty(8, QString());
        QTest::newRow("DCA") << int(Measurement::DCA) << true << armed;
        QTest::newRow("ACA") << int(Measurement::ACA) << true << armed;
        QTest::newRow("DCV shows nothing") << int(Measurement::DCV) << true << empty;
        QTest::newRow("no main channel") << -1 << true << empty;
        QTest::newRow("command not checked") << int(Measurement::ACA) << false << empty;
    }
    void check()
    {
        QFETCH(int, function);
        QFETCH(bool, commandChecked);
        PowerCostMonitor monitor;
        oneHourAt10A(monitor);
        QSignalSpy changed(&monitor, &PowerCostMonitor::valuesChanged);
        monitor.power_check(function, commandChecked, Pump, Rates);
        QTEST(valuesOf(monitor), "values");
        QCOMPARE(monitor.charge(), 0.0);
        QCOMPARE(changed.count(), 1);
        // Only an armed monitor accumulates.
        const bool running = monitor.powerRunning();
        QCOMPARE(running, valuesOf(monitor).first() == QLatin1String("Pump"));
        monitor.power_rate(5000, u"10"_s, u"A"_s, Rates);
        monitor.power_rate(5000 + Hour, u"10"_s, u"A"_s, Rates);
        QCOMPARE(monitor.charge() > 0, running);
        QCOMPARE(changed.count(), running ? 3 : 1);
    }
    void charge_data()
    {
        // Readings "seconds value unit", the first starting the clock; rates "V P.F price".
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("rates");
        QTest::addColumn<QString>("charge");
        QTest::addColumn<QString>("elapsed");
        const QString hour = u"7 10 A,3607 10 A"_s;
        QTest::newRow("first step adds nothing")
            << u"123 10 A"_s << u"100 1.0 10"_s << u"0.00"_s << u"0:0:0:0"_s;
        QTest::newRow("1 kWh at price 10") << hour << u"100 1.0 10"_s << u"10.00"_s << u"0:1:0:0"_s;
        QTest::newRow("power factor 0.8") << hour << u"100 0.8 10"_s << u"8.00"_s << u"0:1:0:0"_s;
        // 0.90045 kWh x 0.31 = 0.2791
        QTest::newRow("230 V 4.35 A 0.9 at 0.31")
            << u"7 4.35 A,3607 4.35 A"_s << u"230 0.9 0.31"_s << u"0.28"_s << u"0:1:0:0"_s;
        QTest::newRow("milliamperes in amperes")
            << u"7 500.0 mA,3607 500.0 mA"_s << u"1000 1.0 10"_s << u"5.00"_s << u"0:1:0:0"_s;
        QTest::newRow("negative current costs its magnitude")
            << u"7 -10 A,3607 -10 A"_s << u"100 1.0 10"_s << u"10.00"_s << u"0:1:0:0"_s;
        QTest::newRow("steps add up, current changing")
            << u"0 10 A,1800 10 A,3600 20 A"_s << u"100 1.0 10"_s << u"15.00"_s << u"0:1:0:0"_s;
        QTest::newRow("overload costs nothing")
            << u"0 10 A,3600 +OL A,7200 10 A"_s << u"100 1.0 10"_s << u"10.00"_s << u"0:2:0:0"_s;
        QTest::newRow("rate not a number counts 0") << hour << u"abc 1.0 10"_s << u"0.00"_s << u"0:1:0:0"_s;
    }
    void charge()
    {
        QFETCH(QString, readings);
        QFETCH(QString, rates);
        const QStringList r = rates.split(u' ');
        const PowerRates given{r.at(0), r.at(1), r.at(2)};
        PowerCostMonitor monitor;
        monitor.power_check(Measurement::ACA, true, Pump, given);
        for (const QString &reading : readings.split(u',')) {
            const QStringList part = reading.split(u' ');
            monitor.power_rate(part.at(0).toInt() * qint64(1000), part.at(1), part.at(2), given);
        }
        QTEST(monitor.value(PowerCostMonitor::Charge), "charge");
        QTEST(monitor.value(PowerCostMonitor::Elapsed), "elapsed");
    }
    void restarts()
    {
        // Every check starts afresh.
        PowerCostMonitor monitor;
        oneHourAt10A(monitor);
        monitor.power_check(Measurement::DCA, true, Pump, Rates);
        QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0");
        monitor.power_rate(2 * Hour, u"10"_s, u"A"_s, Rates);
        QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
        // A new record restarts the clock; the gap between records costs nothing.
        oneHourAt10A(monitor);
        monitor.markNotStarted();
        monitor.power_rate(5 * Hour, u"10"_s, u"A"_s, Rates);
        QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:0:0:0");
        QCOMPARE(monitor.value(PowerCostMonitor::Charge), "10.00");
    }
    void setupRewritesChannelAndRates()
    {
        PowerCostMonitor monitor;
        oneHourAt10A(monitor);
        monitor.showChannelAndRates({"Fan", "-", "-"}, {"230", "0.9", "0.31"});
        QCOMPARE(valuesOf(monitor), QStringList({"Fan", "-", "-", "230", "0.9", "0.31", "0:1:0:0", "10.00"}));
    }
    void chargeText_data()
    {
        QTest::addColumn<double>("charge");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << u"0.00"_s;
        QTest::newRow("rounds half up") << 2.675 << u"2.68"_s;
        QTest::newRow("beyond the picture's digits") << 123456789.0 << u"123456789.00"_s;
    }
    void chargeText()
    {
        QFETCH(double, charge);
        QTEST(PowerCostMonitor::chargeText(charge), "text");
    }
};

QTEST_GUILESS_MAIN(TestPower)
#include "tst_power.moc"
