#include <QSignalSpy>
#include <QtTest>

#include "core/measurement/MeasurementTables.h"
#include "core/power/ElapsedTime.h"
#include "core/power/PowerCostMonitor.h"

Q_DECLARE_METATYPE(PowerRates)

namespace
{

const PowerChannel Pump{QStringLiteral("Pump"), QStringLiteral("SN-7"), QStringLiteral("Hall 2")};
const PowerRates Rates{QStringLiteral("100"), QStringLiteral("1.0"), QStringLiteral("10")};
constexpr qint64 Hour = 3600 * 1000;

QStringList valuesOf(const PowerCostMonitor &monitor)
{
    return QStringList(monitor.values().begin(), monitor.values().end());
}

// Armed on DCA, then 10 A for one hour: charge 10.00, elapsed 0:1:0:0.
void oneHourAt10A(PowerCostMonitor &monitor)
{
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    monitor.power_rate(0, QStringLiteral("10"), QStringLiteral("A"), Rates);
    monitor.power_rate(Hour, QStringLiteral("10"), QStringLiteral("A"), Rates);
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
        QTest::newRow("nothing") << qint64(0) << "0:0:0:0";
        QTest::newRow("seconds roll at 60") << qint64(60) << "0:0:1:0";
        QTest::newRow("3725 s") << qint64(3725) << "0:1:2:5";
        QTest::newRow("last second of a day") << qint64(86399) << "0:23:59:59";
        QTest::newRow("one day one hour") << qint64(90000) << "1:1:0:0";
        QTest::newRow("days do not roll") << qint64(400 * 86400 + 61) << "400:0:1:1";
        QTest::newRow("negative") << qint64(-5) << "0:0:0:0";
    }
    void elapsedText()
    {
        QFETCH(qint64, seconds);
        QTEST(time_dhms(seconds), "text");
    }
    void captions()
    {
        QCOMPARE(PowerCostMonitor::windowCaption(), "Electric Power Cost Monitor");
        QStringList captions;
        for (int i = 0; i <= PowerCostMonitor::FieldCount; ++i)
            captions << PowerCostMonitor::caption(i);
        QCOMPARE(captions, QStringList({"Channel:", "Serial Number: ", "Place:", "V", "P.F", "Unit Price",
                                        "Time ( d : h : m : s )", "Electricity charges", ""}));
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
        monitor.power_rate(5000, QStringLiteral("10"), QStringLiteral("A"), Rates);
        monitor.power_rate(5000 + Hour, QStringLiteral("10"), QStringLiteral("A"), Rates);
        QCOMPARE(monitor.charge() > 0, running);
        QCOMPARE(changed.count(), running ? 3 : 1);
    }
    void charge_data()
    {
        // Readings "value unit" at the given seconds; the first starts the clock.
        QTest::addColumn<QList<int>>("seconds");
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<PowerRates>("rates");
        QTest::addColumn<QString>("charge");
        QTest::addColumn<QString>("elapsed");
        const QList<int> hour{7, 3607};
        QTest::newRow("first step adds nothing") << QList<int>{123} << QStringList{"10 A"} << Rates << "0.00"
                                                 << "0:0:0:0";
        QTest::newRow("1 kWh at price 10") << hour << QStringList{"10 A", "10 A"} << Rates << "10.00"
                                           << "0:1:0:0";
        QTest::newRow("power factor 0.8")
            << hour << QStringList{"10 A", "10 A"} << PowerRates{"100", "0.8", "10"} << "8.00"
            << "0:1:0:0";
        QTest::newRow("230 V 4.35 A 0.9 at 0.31") // 0.90045 kWh x 0.31 = 0.2791
            << hour << QStringList{"4.35 A", "4.35 A"} << PowerRates{"230", "0.9", "0.31"} << "0.28"
            << "0:1:0:0";
        QTest::newRow("milliamperes in amperes")
            << hour << QStringList{"500.0 mA", "500.0 mA"} << PowerRates{"1000", "1.0", "10"} << "5.00"
            << "0:1:0:0";
        QTest::newRow("negative current costs its magnitude")
            << hour << QStringList{"-10 A", "-10 A"} << Rates << "10.00"
            << "0:1:0:0";
        QTest::newRow("steps add up, current changing")
            << QList<int>{0, 1800, 3600} << QStringList{"10 A", "10 A", "20 A"} << Rates << "15.00"
            << "0:1:0:0";
        QTest::newRow("overload costs nothing")
            << QList<int>{0, 3600, 7200} << QStringList{"10 A", "+OL A", "10 A"} << Rates << "10.00"
            << "0:2:0:0";
        QTest::newRow("rate not a number counts 0")
            << hour << QStringList{"10 A", "10 A"} << PowerRates{"abc", "1.0", "10"} << "0.00"
            << "0:1:0:0";
    }
    void charge()
    {
        QFETCH(QList<int>, seconds);
        QFETCH(QStringList, readings);
        QFETCH(PowerRates, rates);
        PowerCostMonitor monitor;
        monitor.power_check(Measurement::ACA, true, Pump, rates);
        for (int i = 0; i < seconds.size(); ++i) {
            const QStringList reading = readings.at(i).split(u' ');
            monitor.power_rate(seconds.at(i) * qint64(1000), reading.at(0), reading.at(1), rates);
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
        monitor.power_rate(2 * Hour, QStringLiteral("10"), QStringLiteral("A"), Rates);
        QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
        // A new record restarts the clock; the gap between records costs nothing.
        oneHourAt10A(monitor);
        monitor.markNotStarted();
        monitor.power_rate(5 * Hour, QStringLiteral("10"), QStringLiteral("A"), Rates);
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
        QTest::newRow("zero") << 0.0 << "0.00";
        QTest::newRow("rounds half up") << 2.675 << "2.68";
        QTest::newRow("beyond the picture's digits") << 123456789.0 << "123456789.00";
    }
    void chargeText()
    {
        QFETCH(double, charge);
        QTEST(PowerCostMonitor::chargeText(charge), "text");
    }
};

QTEST_GUILESS_MAIN(TestPower)
#include "tst_power.moc"
