#include <QSignalSpy>
#include <QtTest>

#include "core/energy/EnergyMeter.h"
#include "core/energy/EnergyTable.h"
#include "core/measurement/MeasurementTables.h"
#include "core/power/ElapsedTime.h"
#include "core/power/PowerCostMonitor.h"
#include "core/record/RecordStore.h"
#include "core/record/RecordTable.h"

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

// Samples of one channel every `step` seconds from `from` to `to` (seconds after 23:59:00, so
// that the longer tables pass midnight), each with `value` and `unit`.
struct Run {
    int channel, function, interval, from, to, step;
    QString value, unit;
};
using Runs = QList<Run>;

struct Sample {
    int time;
    Run run;
};

// The runs' samples in time order, as they come.
std::vector<Sample> samplesOf(const Runs &runs)
{
    std::vector<Sample> samples;
    for (const Run &run : runs)
        for (int t = run.from; t <= run.to; t += run.step)
            samples.push_back({t, run});
    std::stable_sort(samples.begin(), samples.end(), [](auto &a, auto &b) { return a.time < b.time; });
    return samples;
}

QString timeText(int t)
{
    return QTime(23, 59).addSecs(t).toString(u"hh:mm:ss"_s);
}

// The same samples as a record holds them.
RecordTable recordOf(const std::vector<Sample> &samples)
{
    RecordTable record;
    record.rows.resize(1);
    std::array<int, 6> next{1, 1, 1, 1, 1, 1};
    for (const Sample &s : samples) {
        const auto k = std::size_t(s.run.channel);
        if (next[k] >= record.rows.size()) record.rows.resize(next[k] + 1);
        RecordTable::Row &row = record.rows[next[k]++];
        row[std::size_t(RecordStore::timeColumn(s.run.channel))] = timeText(s.time);
        row[std::size_t(RecordStore::valueColumn(s.run.channel))] = s.run.value;
        row[std::size_t(RecordStore::unitColumn(s.run.channel))] = s.run.unit;
        record.functionCaption[k] = Measurement::functionName(s.run.function);
    }
    return record;
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
        const auto row = [](const char *name, const char *readings, const char *rates, const char *charge,
                            const char *elapsed = "0:1:0:0") {
            QTest::newRow(name) << QString::fromUtf8(readings) << QString::fromUtf8(rates)
                                << QString::fromUtf8(charge) << QString::fromUtf8(elapsed);
        };
        const char *hour = "7 10 A,3607 10 A";
        row("first step adds nothing", "123 10 A", "100 1.0 10", "0.00", "0:0:0:0");
        row("1 kWh at price 10", hour, "100 1.0 10", "10.00");
        row("power factor 0.8", hour, "100 0.8 10", "8.00");
        row("230 V 4.35 A 0.9 at 0.31", "7 4.35 A,3607 4.35 A", "230 0.9 0.31", "0.28"); // 0.90045 kWh x 0.31
        row("milliamperes in amperes", "7 500.0 mA,3607 500.0 mA", "1000 1.0 10", "5.00");
        row("negative current costs its magnitude", "7 -10 A,3607 -10 A", "100 1.0 10", "10.00");
        row("steps add up, current changing", "0 10 A,1800 10 A,3600 20 A", "100 1.0 10", "15.00");
        row("overload costs nothing", "0 10 A,3600 +OL A,7200 10 A", "100 1.0 10", "10.00", "0:2:0:0");
        row("rate not a number counts 0", hour, "abc 1.0 10", "0.00");
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
    void energy_data()
    {
        QTest::addColumn<Runs>("runs");
        QTest::addColumn<int>("pairedTo"); // channel 0's voltage channel, -1 none
        QTest::addColumn<double>("kWh");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QList<int>>("counts"); // overloads, no voltage, gaps
        constexpr int A = Measurement::DCA, V = Measurement::DCV;
        QTest::newRow("10 A at 100 V for one hour")
            << Runs{{0, A, 2, 0, 3600, 2, u"10.00"_s, u"A"_s}} << -1 << 1.0 << 3600.0 << QList<int>{0, 0, 0};
        QTest::newRow("500 A") << Runs{{0, A, 2, 0, 3600, 2, u"500"_s, u"A"_s}} << -1 << 50.0 << 3600.0
                               << QList<int>{0, 0, 0};
        QTest::newRow("500.0 mA, a thousandth of 500 A")
            << Runs{{0, Measurement::ACA, 2, 0, 3600, 2, u"500.0"_s, u"mA"_s}} << -1 << 0.05 << 3600.0
            << QList<int>{0, 0, 0};
        QTest::newRow("a negative DC current by its magnitude")
            << Runs{{0, A, 2, 0, 3600, 2, u"-10.00"_s, u"A"_s}} << -1 << 1.0 << 3600.0 << QList<int>{0, 0, 0};
        QTest::newRow("a gap of more than three intervals adds nothing")
            << Runs{{0, A, 10, 0, 30, 10, u"10"_s, u"A"_s}, {0, A, 10, 61, 91, 10, u"10"_s, u"A"_s}} << -1
            << 10 * 100 * 60 / 3.6e6 << 60.0 << QList<int>{0, 0, 1};
        QTest::newRow("three intervals are no gap") << Runs{{0, A, 10, 0, 30, 30, u"10"_s, u"A"_s}} << -1
                                                    << 10 * 100 * 30 / 3.6e6 << 30.0 << QList<int>{0, 0, 0};
        QTest::newRow("an overload is counted and adds nothing")
            << Runs{{0, A, 2, 0, 8, 2, u"10"_s, u"A"_s},
                    {0, A, 2, 10, 10, 2, u"+OL"_s, u"A"_s},
                    {0, A, 2, 12, 20, 2, u"10"_s, u"A"_s}}
            << -1 << 10 * 100 * 18 / 3.6e6 << 18.0 << QList<int>{1, 0, 0};
        // The voltage meter reports every 10 s until 40 s: a current sample at 61 s or later finds
        // no reading of the last 20 s.
        QTest::newRow("the voltage of a paired channel with its own interval")
            << Runs{{1, V, 10, 0, 40, 10, u"230.0"_s, u"V"_s},
                    {0, A, 2, 1, 81, 2, u"10"_s, u"A"_s},
                    {2, A, 2, 1, 81, 2, u"10"_s, u"A"_s}}
            << 1 << 10 * 230 * 58 / 3.6e6 << 58.0 << QList<int>{0, 11, 0};
        QTest::newRow("a voltage in mV") << Runs{{1, Measurement::ACV, 2, 0, 3600, 2, u"100000"_s, u"mV"_s},
                                                 {0, A, 2, 1, 3601, 2, u"10"_s, u"A"_s}}
                                         << 1 << 1.0 << 3600.0 << QList<int>{0, 0, 0};
        QTest::newRow("paired to a channel that measures no voltage")
            << Runs{{1, A, 2, 0, 10, 2, u"1"_s, u"A"_s}, {0, A, 2, 1, 11, 2, u"10"_s, u"A"_s}} << 1 << 0.0
            << 0.0 << QList<int>{0, 5, 0};
    }
    void energy()
    {
        QFETCH(Runs, runs);
        QFETCH(int, pairedTo);
        QFETCH(QList<int>, counts);
        EnergyRates rates{100, 1.0, 10};
        rates.voltageChannel[0] = pairedTo;
        EnergyMeter meter(rates);
        const std::vector<Sample> samples = samplesOf(runs);
        for (const Sample &s : samples)
            meter.add(s.run.channel, s.run.function, s.run.interval, timeText(s.time), s.run.value,
                      s.run.unit);
        const ChannelEnergy &energy = meter.channel(0);
        QFETCH(double, kWh);
        QVERIFY2(qAbs(energy.kilowattHours - kWh) <= 1e-6 * kWh,
                 qPrintable(QString::number(energy.kilowattHours)));
        QTEST(energy.seconds, "seconds");
        QCOMPARE((QList<int>{energy.overloads, energy.noVoltage, energy.gaps}), counts);
        QCOMPARE(meter.cost(energy), energy.kilowattHours * 10);
        // The record holding the same samples gives the same table.
        QCOMPARE(EnergyTable::csv(EnergyMeter::ofRecord(recordOf(samples), rates)), EnergyTable::csv(meter));
    }
    void energyTable()
    {
        EnergyRates rates{100, 1.0, 10};
        rates.voltageChannel[2] = 3;
        EnergyMeter meter(rates);
        for (const Sample &s : samplesOf({{0, Measurement::DCA, 2, 0, 3600, 2, u"10.00"_s, u"A"_s},
                                          {3, Measurement::DCV, 2, 0, 3600, 2, u"200"_s, u"V"_s},
                                          {2, Measurement::ACA, 2, 1, 1801, 2, u"-5"_s, u"A"_s}}))
            meter.add(s.run.channel, s.run.function, s.run.interval, timeText(s.time), s.run.value,
                      s.run.unit);
        QCOMPARE(EnergyTable::csv(meter), u"channel,voltage,kWh,average_W,seconds,cost\r\n"
                                          "Ch1,100 V,1.000000,1000.0,3600,10.0000\r\n"
                                          "Ch3,Ch4,0.500000,1000.0,1800,5.0000\r\n"
                                          "Total,,1.500000,1500.0,3600,15.0000\r\n"_s);
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
