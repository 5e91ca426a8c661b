#include "core/measurement/AlarmRules.h"

#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"

namespace AlarmRules
{

bool canCarryAlarm(int function)
{
    return function >= Measurement::DCV && function <= Measurement::ACA;
}

Units unitsFor(int function, int storedUnit)
{
    switch (function) {
    case Measurement::DCV:
        return {{QStringLiteral("mV"), QStringLiteral("V")}, storedUnit == 1 ? 1 : 0};
    case Measurement::ACV:
        return {{QStringLiteral("V")}, 0};
    case Measurement::DCA:
    case Measurement::ACA:
        return {{QStringLiteral("A")}, 0};
    default:
        return {};
    }
}

QString limitForFunction(int function, const QString &limit)
{
    const bool ac = function == Measurement::ACV || function == Measurement::ACA;
    bool ok = false;
    const double value = NumberFormat::parseNumber(limit, &ok);
    return ac && ok && value < 0 ? QStringLiteral("0") : limit;
}

} // namespace AlarmRules
