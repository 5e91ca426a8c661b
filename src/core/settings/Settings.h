#pragma once
#include <QString>
#include <array>

class SettingsStore;

// The in-memory copy of the 47 persisted keys. Consumers read these fields; they never
// parse store text themselves.
struct Settings {
    // setup group (33 keys)
    qint16 autoScan = 1;
    qint16 selePort = 0;
    qint16 commp = 0;
    qint16 Alarm = 0;
    qint16 T1_CK = 0;
    QString T1Hi = QStringLiteral("100");
    QString T1Low = QStringLiteral("100");
    qint16 YScale = 0;
    qint16 unit = 0;
    std::array<QString, 6> Channel_n{QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                                     QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")};
    std::array<QString, 6> Channel_sn{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                      QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    std::array<QString, 6> Channel_p{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                     QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    QString Power_cos = QStringLiteral("0.8");
    QString Power_V = QStringLiteral("110");
    QString Power_Unit = QStringLiteral("0");

    // option group (14 keys)
    qint32 Moni_ForeColor = 16777215;
    qint32 Moni_BackColor = 32768;
    qint16 Graph_BackColorCk = 1;
    qint16 Graph_T1ColorCk = 1;
    qint16 Graph_TitleCk = 0;
    qint32 Graph_BackColor = 8388608;
    qint32 Graph_T1BackColor = 255;
    QString Graph_MainTitle = QStringLiteral("ABC");
    qint16 Grid_BackColorCk = 1;
    qint16 Grid_lineCk = 1;
    qint16 Grid_FlatCk = 1;
    qint16 Grid_lnsetCk = 0;
    qint16 Grid_RaisedCk = 0;
    qint32 Grid_BackColor = 16777215;

    // derived, recomputed on every load and save of the setup group
    qint16 portIndex = 0;         // = commp; the link opens COM(portIndex + 1)
    float timeAxisFactor = 0.25f; // "Time axial scales" entry / 100

    // The channel's display name with blanks removed at both ends.
    QString channelName(int channel) const;

    // `readUnit`: whether setup_unit is read (only while the main channel measures DCV).
    void loadSetup(const SettingsStore &store, bool readUnit);
    void saveSetup(SettingsStore &store);
    void loadOptions(const SettingsStore &store);
    void saveOptions(SettingsStore &store) const;
    void applyLoadRules();
};
