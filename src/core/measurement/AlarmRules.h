#pragma once
#include <QString>
#include <QStringList>

// What the alarm allows for the main channel's function, for both the receive path and the
// Setup dialog: which functions carry an alarm, the units its limits are typed in, and the AC
// limits.
namespace AlarmRules
{

// DCV, ACV, DCA and ACA carry an alarm; every other function none.
bool canCarryAlarm(int function);

// The alarm unit list (Combo2) and its selection.
struct Units {
    QStringList entries;
    int index = -1;
    QString selected() const { return index >= 0 && index < entries.size() ? entries.at(index) : QString(); }
    bool operator==(const Units &other) const { return entries == other.entries && index == other.index; }
};
// DCV "mV", "V" with "V" for a stored setup_unit of 1 and "mV" for anything else (nothing
// stored, -1 as a list saved while empty leaves it, out of the list); ACV "V"; DCA and ACA
// "A"; any other function an empty list.
Units unitsFor(int function, int storedUnit);

// AC readings are never negative: for ACV and ACA a limit below 0 becomes "0".
QString limitForFunction(int function, const QString &limit);

} // namespace AlarmRules
