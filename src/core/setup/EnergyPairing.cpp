#include "core/setup/EnergyPairing.h"

#include <QCoreApplication>

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "core/setup/SetupValues.h"

namespace EnergyPairing
{

namespace
{

bool isRate(const QString &text)
{
    bool ok = false;
    return NumberFormat::parseNumber(text, &ok) >= 0 && ok;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("EnergyPairing", text);
}

} // namespace

QString problem(const SetupValues &values, const std::array<int, ChannelCount> &functions)
{
    if (!isRate(values.Power_V) || !isRate(values.Power_cos) || !isRate(values.Power_Unit))
        return tr("The voltage, the power factor and the unit price must be numbers of 0 or more.");
    for (int k = 0; k < int(values.Energy_pair.size()); ++k) {
        bool ok = false;
        const int pair = values.Energy_pair[std::size_t(k)].toInt(&ok) - 1;
        if (!ok || pair < 0) continue;
        if (pair == k) return tr("Channel %1 cannot take its voltage from itself.").arg(k + 1);
        if (pair >= int(functions.size())) continue;
        const int function = functions[std::size_t(pair)];
        if (function == Measurement::DCA || function == Measurement::ACA)
            return tr("Channel %1 cannot take its voltage from channel %2, which measures a current.")
                .arg(k + 1)
                .arg(pair + 1);
        if (function != Unknown && function != Measurement::DCV && function != Measurement::ACV)
            return tr("Channel %1 cannot take its voltage from channel %2, which measures no voltage.")
                .arg(k + 1)
                .arg(pair + 1);
    }
    return {};
}

} // namespace EnergyPairing
