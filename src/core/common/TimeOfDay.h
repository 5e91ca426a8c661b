#pragma once
#include <QStringView>

// Seconds since midnight of a table's time cell "hh:nn:ss"; -1 when it is no time of day.
// Read by hand: the lanes and the energy run it for every sample.
int secondsOfDay(QStringView timeCell);
