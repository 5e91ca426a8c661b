#pragma once
#include <QString>

// The supply voltage, power factor and unit price as the settings hold them (Power_V,
// Power_cos, Power_Unit). A text that is not a number counts as 0.
struct PowerRates {
    QString Power_V;
    QString Power_cos;
    QString Power_Unit;
};

// The main channel's name, serial number and place (Channel_n, Channel_sn, Channel_p).
struct PowerChannel {
    QString name;
    QString serialNumber;
    QString place;
};
