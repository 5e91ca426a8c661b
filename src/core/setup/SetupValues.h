#pragma once
#include <QString>
#include <array>

struct Settings;

// The Setup dialog's values: the setup group of the settings, under the settings' names, with
// the check boxes as truth values. A default SetupValues holds the first-run values of the
// settings' key table.
struct SetupValues {
    // The longest texts the channel fields take.
    static constexpr int NameLength = 8;   // "Display  Name" (Text2)
    static constexpr int SerialLength = 8; // "Serial Number " (Text3)
    static constexpr int PlaceLength = 10; // "Place" (Text4)

    SetupValues();
    static SetupValues fromSettings(const Settings &settings);
    // The setup fields of `settings` set from these values; the option fields stay.
    void toSettings(Settings &settings) const;

    bool autoScan = false; // "Auto scan  com port"
    bool selePort = false; // "Select  port"
    int commp = 0;         // selected "Com n" button, 0..15
    bool Alarm = false;    // "Alarm  : "
    int T1_CK = 0;         // 0 "Hi", 1 "Low"
    QString T1Hi;
    QString T1Low;
    int YScale = 0; // position in the "Time axial scales : " list
    int unit = 0;   // position in the alarm unit list
    std::array<QString, 6> Channel_n;
    std::array<QString, 6> Channel_sn;
    std::array<QString, 6> Channel_p;
    QString Power_cos;
    QString Power_V;
    QString Power_Unit;
    // The voltage channel of each channel's energy: "0" none (the voltage above), "1".."6".
    std::array<QString, 6> Energy_pair;

    bool operator==(const SetupValues &other) const;
    bool operator!=(const SetupValues &other) const { return !(*this == other); }

private:
    struct Uninitialised {
    };
    explicit SetupValues(Uninitialised) {}
};

// The "Default" button: auto scan, both limits "100", 100 samples per page, names "Ch1".."Ch6",
// serial numbers and places "-", 110 V, power factor "0.8", unit price "0", no voltage channels. The port,
// the alarm switch, the Hi/Low choice and the unit stay as they are. Nothing is saved until OK.
SetupValues withDefaultButton(SetupValues current);
