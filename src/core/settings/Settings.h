#pragma once
#include <QString>
#include <array>

class SettingsStore;

// The in-memory copy of the persisted keys (SettingsKeys lists them with their defaults).
// Consumers read these fields; they never parse store text themselves.
struct Settings {
    Settings(); // every field at its first-run default

    // setup group
    qint16 autoScan;
    qint16 selePort;
    qint16 commp;
    qint16 Alarm;
    qint16 T1_CK;
    QString T1Hi;
    QString T1Low;
    qint16 YScale;
    qint16 unit;
    std::array<QString, 6> Channel_n;
    std::array<QString, 6> Channel_sn;
    std::array<QString, 6> Channel_p;
    QString Power_cos;
    QString Power_V;
    QString Power_Unit;
    // The voltage channel of each channel's energy: "0" none, "1".."6".
    std::array<QString, 6> Energy_pair;

    // option group
    qint32 Moni_ForeColor;
    qint32 Moni_BackColor;
    qint16 Graph_BackColorCk;
    qint16 Graph_T1ColorCk;
    qint16 Graph_TitleCk;
    qint32 Graph_BackColor;
    qint32 Graph_T1BackColor;
    QString Graph_MainTitle;
    qint16 Grid_BackColorCk;
    qint16 Grid_lineCk;
    qint16 Grid_FlatCk;
    qint16 Grid_lnsetCk;
    qint16 Grid_RaisedCk;
    qint32 Grid_BackColor;

    // derived, recomputed on every load and save of the setup group
    qint16 portIndex = 0;         // = commp; the link opens COM(portIndex + 1)
    float timeAxisFactor = 0.25f; // "Time axial scales" entry / 100

    // The channel's display name with blanks removed at both ends.
    QString channelName(int channel) const;
    // The six channel names so trimmed, as the table's header shows them.
    std::array<QString, 6> channelNames() const;
    // The voltage channel (0..5) the channel's energy takes its voltage from; -1 for none.
    int voltageChannel(int channel) const;

    // `readUnit`: whether setup_unit is read (only while the main channel measures DCV).
    void loadSetup(const SettingsStore &store, bool readUnit);
    void saveSetup(SettingsStore &store);
    void loadOptions(const SettingsStore &store);
    void saveOptions(SettingsStore &store) const;
    void applyLoadRules();
};
