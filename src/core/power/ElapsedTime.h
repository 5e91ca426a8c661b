#pragma once
#include <QString>

// The elapsed-time text "d:h:m:s" of whole seconds: days, then hours (0..23), minutes and
// seconds (0..59), each a plain integer without leading zeros, e.g. 3725 s is "0:1:2:5".
// A negative count shows as "0:0:0:0".
QString time_dhms(qint64 seconds);
