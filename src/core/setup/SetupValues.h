#pragma once
#include <QString>
#include <array>

// The Setup dialog's values: the setup group of the settings, under the settings' names.
struct SetupValues {
    // The longest texts the channel fields take.
    static constexpr int NameLength = 8;   // "Display  Name" (Text2)
    static constexpr int SerialLength = 8; // "Serial Number " (Text3)
    static constexpr int PlaceLength = 10; // "Place" (Text4)

    bool autoScan = true;  // "Auto scan  com port"
    bool selePort = false; // "Select  port"
    int commp = 0;         // selected "Com n" button, 0..15
    bool Alarm = false;    // "Alarm  : "
    int T1_CK = 0;         // 0 "Hi", 1 "Low"
    QString T1Hi = QStringLiteral("100");
    QString T1Low = QStringLiteral("100");
    int YScale = 0; // position in the "Time axial scales : " list
    int unit = 0;   // position in the alarm unit list
    std::array<QString, 6> Channel_n{QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                                     QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")};
    std::array<QString, 6> Channel_sn{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                      QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    std::array<QString, 6> Channel_p{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    QString Power_cos = QStringLiteral("0.8");
    QString Power_V = QStringLiteral("110");
    QString Power_Unit = QStringLiteral("0");

    bool operator==(const SetupValues &other) const;
    bool operator!=(const SetupValues &other) const { return !(*this == other); }
};

// The "Default" button: auto scan, both limits "100", 100 samples per page, names "Ch1".."Ch6",
// serial numbers and places "-", 110 V, power factor "0.8", unit price "0". The port, the
// alarm switch, the Hi/Low choice and the unit stay as they are. Nothing is saved until OK.
SetupValues withDefaultButton(SetupValues current);
