#include <QSignalSpy>
#include <QtTest>

#include "core/measurement/MeasurementTables.h"
#include "core/power/ElapsedTime.h"
#include "core/power/PowerCostMonitor.h"
#include "support/ManualClock.h"

namespace
{

const PowerChannel Pump{QStringLiteral("Pump"), QStringLiteral("SN-7"), QStringLiteral("Hall 2")};
const PowerRates Rates{QStringLiteral("100"), QStringLiteral("1.0"), QStringLiteral("10")};
constexpr qint64 Hour = 3600 * 1000;

using Values = std::array<QString, PowerCostMonitor::FieldCount>;

// Armed on DCA, then 10 A for one hour: charge 10.00, elapsed 0:1:0:0.
void oneHourAt10A(PowerCostMonitor &monitor)
{
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    monitor.power_rate(0, QStringLiteral("10"), Rates);
    monitor.power_rate(Hour, QStringLiteral("10"), Rates);
}

QStringList list(const Values &values)
{
    return QStringList(values.begin(), values.end());
}

} // namespace

class TestPower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elapsedText_data();
    void elapsedText();
    void captions();
    void check_data();
    void check();
    void chargeOfOneHour_data();
    void chargeOfOneHour();
    void firstStepAddsNothing();
    void stepsAddUp();
    void acrossMidnight();
    void overloadAddsNothing();
    void nonNumericRatesCountAsZero();
    void restartsAtEveryCheck();
    void newRecordRestartsTheClock();
    void disarmedStepDoesNothing();
    void setupRewritesChannelAndRates();
    void chargeText_data();
    void chargeText();
};

void TestPower::elapsedText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << qint64(0) << "0:0:0:0";
    QTest::newRow("seconds roll at 60") << qint64(60) << "0:0:1:0";
    QTest::newRow("0:1:5:7") << qint64(3907) << "0:1:5:7";
    QTest::newRow("3725 s") << qint64(3725) << "0:1:2:5";
    QTest::newRow("last second of a day") << qint64(86399) << "0:23:59:59";
    QTest::newRow("one day one hour") << qint64(90000) << "1:1:0:0";
    QTest::newRow("days do not roll") << qint64(400 * 86400 + 61) << "400:0:1:1";
    QTest::newRow("negative") << qint64(-5) << "0:0:0:0";
}

void TestPower::elapsedText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(time_dhms(seconds), text);
}

void TestPower::captions()
{
    QCOMPARE(PowerCostMonitor::windowCaption(), "Electric Power Cost Monitor");
    QStringList captions;
    for (int i = 0; i < PowerCostMonitor::FieldCount; ++i)
        captions << PowerCostMonitor::caption(i);
    QCOMPARE(captions, QStringList({"Channel:", "Serial Number: ", "Place:", "V", "P.F", "Unit Price",
                                    "Time ( d : h : m : s )", "Electricity charges"}));
    QCOMPARE(PowerCostMonitor::caption(8), QString());
}

void TestPower::check_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<bool>("commandChecked");
    QTest::addColumn<bool>("running");
    const QStringList armed{"Pump", "SN-7", "Hall 2", "100", "1.0", "10", "0", "0"};
    QTest::addColumn<QStringList>("values");
    const QStringList empty(8, QString());
    QTest::newRow("DCA") << int(Measurement::DCA) << true << true << armed;
    QTest::newRow("ACA") << int(Measurement::ACA) << true << true << armed;
    QTest::newRow("DCV shows nothing") << int(Measurement::DCV) << true << false << empty;
    QTest::newRow("OHM") << int(Measurement::OHM) << true << false << empty;
    QTest::newRow("no main channel") << -1 << true << false << empty;
    QTest::newRow("command not checked") << int(Measurement::ACA) << false << false << empty;
}

void TestPower::check()
{
    QFETCH(int, function);
    QFETCH(bool, commandChecked);
    QFETCH(bool, running);
    QFETCH(QStringList, values);
    PowerCostMonitor monitor;
    oneHourAt10A(monitor);
    QSignalSpy changed(&monitor, &PowerCostMonitor::valuesChanged);

    monitor.power_check(function, commandChecked, Pump, Rates);
    QCOMPARE(monitor.powerRunning(), running);
    QCOMPARE(list(monitor.values()), values);
    QCOMPARE(monitor.charge(), 0.0);
    QCOMPARE(changed.count(), 1);

    // A DCV main channel accumulates nothing, whatever arrives.
    monitor.power_rate(5000, QStringLiteral("10"), Rates);
    monitor.power_rate(5000 + Hour, QStringLiteral("10"), Rates);
    QCOMPARE(monitor.charge() > 0, running);
}

void TestPower::chargeOfOneHour_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<PowerRates>("rates");
    QTest::addColumn<QString>("charge");
    QTest::newRow("1 kWh at price 10") << "10" << Rates << "10.00";
    QTest::newRow("power factor 0.8") << "10" << PowerRates{"100", "0.8", "10"} << "8.00";
    QTest::newRow("230 V 4.35 A 0.9 at 0.31")
        << "4.35" << PowerRates{"230", "0.9", "0.31"} << "0.28"; // 0.90045 kWh x 0.31 = 0.2791
    QTest::newRow("prefix is not applied") << "250.0" << Rates << "250.00";
    QTest::newRow("price 0") << "10" << PowerRates{"110", "0.8", "0"} << "0.00";
}

void TestPower::chargeOfOneHour()
{
    QFETCH(QString, current);
    QFETCH(PowerRates, rates);
    QFETCH(QString, charge);
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::ACA, true, Pump, rates);
    monitor.power_rate(7000, current, rates);
    monitor.power_rate(7000 + Hour, current, rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), charge);
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:1:0:0");
}

void TestPower::firstStepAddsNothing()
{
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    monitor.power_rate(123456, QStringLiteral("10"), Rates);
    QCOMPARE(monitor.charge(), 0.0);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:0:0:0");
}

void TestPower::stepsAddUp()
{
    // A reading every 2 s for an hour, the current changing half-way.
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    for (qint64 t = 0; t <= Hour; t += 2000)
        monitor.power_rate(t, t <= Hour / 2 ? QStringLiteral("10") : QStringLiteral("20"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "15.00");
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:1:0:0");
}

void TestPower::acrossMidnight()
{
    ManualClock clock(QDateTime(QDate(2024, 3, 15), QTime(23, 59, 30)), 5000);
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::ACA, true, Pump, Rates);
    monitor.power_rate(clock.tickMs(), QStringLiteral("10"), Rates);
    clock.advance(90 * 1000);
    QCOMPARE(clock.now().time(), QTime(0, 1, 0));
    monitor.power_rate(clock.tickMs(), QStringLiteral("10"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:0:1:30");
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.25"); // 1 kW for 90 s at 10
}

void TestPower::overloadAddsNothing()
{
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    monitor.power_rate(0, QStringLiteral("10"), Rates);
    monitor.power_rate(Hour, QStringLiteral("+OL"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:1:0:0");
    monitor.power_rate(2 * Hour, QStringLiteral("10"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "10.00");
}

void TestPower::nonNumericRatesCountAsZero()
{
    const PowerRates broken{QStringLiteral("abc"), QStringLiteral("1.0"), QStringLiteral("10")};
    PowerCostMonitor monitor;
    monitor.power_check(Measurement::DCA, true, Pump, broken);
    monitor.power_rate(0, QStringLiteral("10"), broken);
    monitor.power_rate(Hour, QStringLiteral("10"), broken);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
    QCOMPARE(monitor.value(PowerCostMonitor::Voltage), "abc");
}

void TestPower::restartsAtEveryCheck()
{
    PowerCostMonitor monitor;
    oneHourAt10A(monitor);
    monitor.power_check(Measurement::DCA, true, Pump, Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0");
    monitor.power_rate(2 * Hour, QStringLiteral("10"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "0.00");
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:0:0:0");
}

void TestPower::newRecordRestartsTheClock()
{
    PowerCostMonitor monitor;
    oneHourAt10A(monitor);
    monitor.markNotStarted();
    monitor.power_rate(5 * Hour, QStringLiteral("10"), Rates);
    QCOMPARE(monitor.value(PowerCostMonitor::Elapsed), "0:0:0:0");
    QCOMPARE(monitor.value(PowerCostMonitor::Charge), "10.00"); // the gap between records costs nothing
}

void TestPower::disarmedStepDoesNothing()
{
    PowerCostMonitor monitor;
    QSignalSpy changed(&monitor, &PowerCostMonitor::valuesChanged);
    monitor.power_rate(0, QStringLiteral("10"), Rates);
    monitor.power_rate(Hour, QStringLiteral("10"), Rates);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(list(monitor.values()), QStringList(8, QString()));
}

void TestPower::setupRewritesChannelAndRates()
{
    PowerCostMonitor monitor;
    oneHourAt10A(monitor);
    monitor.showChannelAndRates({"Fan", "-", "-"}, {"230", "0.9", "0.31"});
    QCOMPARE(list(monitor.values()),
             QStringList({"Fan", "-", "-", "230", "0.9", "0.31", "0:1:0:0", "10.00"}));
}

void TestPower::chargeText_data()
{
    QTest::addColumn<double>("charge");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("rounds half up") << 2.675 << "2.68";
    QTest::newRow("no thousands separator") << 1234567.891 << "1234567.89";
    QTest::newRow("beyond the picture's digits") << 123456789.0 << "123456789.00";
}

void TestPower::chargeText()
{
    QFETCH(double, charge);
    QFETCH(QString, text);
    QCOMPARE(PowerCostMonitor::chargeText(charge), text);
}

Q_DECLARE_METATYPE(PowerRates)

QTEST_GUILESS_MAIN(TestPower)
#include "tst_power.moc"
