#include "core/power/PowerCostMonitor.h"

#include <QCoreApplication>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "core/power/ElapsedTime.h"

#include <algorithm>
#include <cmath>

namespace
{

double numberOr0(const QString &text)
{
    bool ok = false;
    const double value = NumberFormat::parseNumber(text, &ok);
    return ok ? value : 0.0;
}

constexpr double MsPerHour = 3.6e6;
constexpr double WattsPerKilowatt = 1000;

} // namespace

QString PowerCostMonitor::windowCaption()
{
    return QCoreApplication::translate("PowerCostMonitor", "Electric Power Cost Monitor");
}

QString PowerCostMonitor::caption(int field)
{
    const std::array<QString, FieldCount> captions{
        QCoreApplication::translate("PowerCostMonitor", "Channel:"),
        QCoreApplication::translate("PowerCostMonitor", "Serial Number: "),
        QCoreApplication::translate("PowerCostMonitor", "Place:"),
        QCoreApplication::translate("PowerCostMonitor", "V"),
        QCoreApplication::translate("PowerCostMonitor", "P.F"),
        QCoreApplication::translate("PowerCostMonitor", "Unit Price"),
        QCoreApplication::translate("PowerCostMonitor", "Time ( d : h : m : s )"),
        QCoreApplication::translate("PowerCostMonitor", "Electricity charges")};
    return field >= 0 && field < FieldCount ? captions[std::size_t(field)] : QString();
}

QString PowerCostMonitor::chargeText(double charge)
{
    return NumberFormat::format(charge, u"######0.00");
}

bool PowerCostMonitor::measuresCurrent(int functionCode)
{
    return functionCode == Measurement::DCA || functionCode == Measurement::ACA;
}

PowerCostMonitor::PowerCostMonitor(QObject *parent) : QObject(parent) {}

void PowerCostMonitor::power_check(int mainFunction, bool powerCommandChecked, const PowerChannel &channel,
                                   const PowerRates &rates)
{
    m_charge = 0;
    m_startMs.reset();
    m_lastMs.reset();
    m_running = measuresCurrent(mainFunction) && powerCommandChecked;
    if (m_running) {
        setChannelAndRates(channel, rates);
        m_values[Elapsed] = QStringLiteral("0");
        m_values[Charge] = QStringLiteral("0");
    } else {
        m_values.fill(QString());
    }
    Q_EMIT valuesChanged();
}

void PowerCostMonitor::power_rate(qint64 nowMs, const QString &mainDisplay, const QString &mainUnit,
                                  const PowerRates &rates)
{
    if (!m_running) return;
    if (!m_lastMs) {
        m_lastMs = nowMs;
        m_startMs = nowMs;
    }
    // An overload or an empty display is no known current: that interval costs nothing. The
    // reading is taken in amperes, and a current costs the same whichever way it flows.
    const double current = std::abs(
        numberOr0(mainDisplay) * double(Measurement::prefixFactor(Measurement::prefixCodeOfUnit(mainUnit))));
    const double hours = double(std::max<qint64>(0, nowMs - *m_lastMs)) / MsPerHour;
    const double kilowatts =
        numberOr0(rates.Power_V) * current * numberOr0(rates.Power_cos) / WattsPerKilowatt;
    m_charge += kilowatts * hours * numberOr0(rates.Power_Unit);
    m_values[Charge] = chargeText(m_charge);
    m_values[Elapsed] = time_dhms((nowMs - *m_startMs) / 1000);
    m_lastMs = nowMs;
    Q_EMIT valuesChanged();
}

void PowerCostMonitor::showChannelAndRates(const PowerChannel &channel, const PowerRates &rates)
{
    setChannelAndRates(channel, rates);
    Q_EMIT valuesChanged();
}

void PowerCostMonitor::markNotStarted()
{
    m_startMs.reset();
    m_lastMs.reset();
}

QString PowerCostMonitor::value(int field) const
{
    return field >= 0 && field < FieldCount ? m_values[std::size_t(field)] : QString();
}

void PowerCostMonitor::setChannelAndRates(const PowerChannel &channel, const PowerRates &rates)
{
    m_values[ChannelName] = channel.name;
    m_values[SerialNumber] = channel.serialNumber;
    m_values[Place] = channel.place;
    m_values[Voltage] = rates.Power_V;
    m_values[PowerFactor] = rates.Power_cos;
    m_values[UnitPrice] = rates.Power_Unit;
}
