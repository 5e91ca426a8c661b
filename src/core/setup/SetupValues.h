#pragma once

#include "core/settings/Settings.h"

// The Setup dialog's values: the setup group of the settings. A default SetupValues holds the
// first-run values.
struct SetupValues : SetupFields {
    // The longest texts the channel fields take.
    static constexpr int NameLength = 8;   // "Display  Name" (Text2)
    static constexpr int SerialLength = 8; // "Serial Number " (Text3)
    static constexpr int PlaceLength = 10; // "Place" (Text4)

    static SetupValues fromSettings(const Settings &settings) { return {settings}; }
    // The setup fields of `settings` set from these values; the option fields stay.
    void toSettings(Settings &settings) const { static_cast<SetupFields &>(settings) = *this; }

    bool operator==(const SetupValues &other) const;
    bool operator!=(const SetupValues &other) const { return !(*this == other); }
};

// The "Default" button: auto scan, both limits "100", 100 samples per page, names "Ch1".."Ch6",
// serial numbers and places "-", 110 V, power factor "0.8", unit price "0", no voltage channels. The port,
// the alarm switch, the Hi/Low choice and the unit stay as they are. Nothing is saved until OK.
SetupValues withDefaultButton(SetupValues current);
