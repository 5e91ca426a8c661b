#pragma once
#include "core/common/ChannelCount.h"
#include <QString>
#include <array>

// The setup group of the persisted keys, each field at its first-run value (SettingsKeys names
// the key of every field). The Setup dialog edits these fields.
struct SetupFields {
    bool autoScan = true;  // "Auto scan  com port"
    bool selePort = false; // "Select  port"
    int commp = 0;         // selected "Com n" button, 0..15
    bool Alarm = false;    // "Alarm  : "
    int T1_CK = 0;         // 0 "Hi", 1 "Low"
    QString T1Hi = QStringLiteral("100");
    QString T1Low = QStringLiteral("100");
    int YScale = 0; // position in the "Time axial scales : " list
    // Position in the alarm unit list: the DCV list "mV", "V"; other functions have one entry.
    int unit = 0;
    std::array<QString, ChannelCount> Channel_n{QStringLiteral("Ch1"), QStringLiteral("Ch2"),
                                                QStringLiteral("Ch3"), QStringLiteral("Ch4"),
                                                QStringLiteral("Ch5"), QStringLiteral("Ch6")};
    std::array<QString, ChannelCount> Channel_sn{QStringLiteral("-"), QStringLiteral("-"),
                                                 QStringLiteral("-"), QStringLiteral("-"),
                                                 QStringLiteral("-"), QStringLiteral("-")};
    std::array<QString, ChannelCount> Channel_p{QStringLiteral("-"), QStringLiteral("-"),
                                                QStringLiteral("-"), QStringLiteral("-"),
                                                QStringLiteral("-"), QStringLiteral("-")};
    QString Power_cos = QStringLiteral("0.8");
    QString Power_V = QStringLiteral("110");
    QString Power_Unit = QStringLiteral("0");
    // The voltage channel of each channel's energy: "0" none (the voltage above), "1".."6".
    std::array<QString, ChannelCount> Energy_pair{QStringLiteral("0"), QStringLiteral("0"),
                                                  QStringLiteral("0"), QStringLiteral("0"),
                                                  QStringLiteral("0"), QStringLiteral("0")};
};

// The option group, each field at its first-run value. Colours hold red in the lowest byte,
// then green, then blue. The Options dialog edits these fields.
struct OptionFields {
    qint32 Moni_ForeColor = 16777215;
    qint32 Moni_BackColor = 32768;
    bool Graph_BackColorCk = true;
    bool Graph_T1ColorCk = true;
    bool Graph_TitleCk = false;
    qint32 Graph_BackColor = 8388608;
    qint32 Graph_T1BackColor = 255;
    QString Graph_MainTitle = QStringLiteral("ABC");
    bool Grid_BackColorCk = true;
    bool Grid_lineCk = true;
    bool Grid_FlatCk = true;
    bool Grid_lnsetCk = false;
    bool Grid_RaisedCk = false;
    qint32 Grid_BackColor = 16777215;
};

// The in-memory copy of the persisted keys (SettingsKeys reads and writes them). Consumers read
// these fields; they never parse store text themselves.
struct Settings : SetupFields, OptionFields {
    // derived, recomputed on every load and save of the setup group
    qint16 portIndex = 0;         // = commp; the link opens COM(portIndex + 1)
    float timeAxisFactor = 0.25f; // "Time axial scales" entry / 100

    // The channel's display name with blanks removed at both ends.
    QString channelName(int channel) const;
    // The six channel names so trimmed, as the table's header shows them.
    std::array<QString, ChannelCount> channelNames() const;
    // The voltage channel (0..5) the channel's energy takes its voltage from; -1 for none.
    int voltageChannel(int channel) const;

    // A loaded setup group: what the Setup dialog would refuse is mended, then the derived
    // fields follow.
    void applyLoadRules();
    // The derived fields from the setup group.
    void deriveFromSetup();
};
