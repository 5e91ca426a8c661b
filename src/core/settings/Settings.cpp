#include "core/settings/Settings.h"

#include "core/settings/SettingsStore.h"

#include <limits>

namespace
{

constexpr int ChannelFields = 6;
constexpr qint16 LastScaleIndex = 7; // "25" .. "200"
constexpr qint16 LastPortIndex = 15; // COM1 .. COM16

// The store holds decimal texts; anything else (a hand-edited file, a value too large for the
// field) leaves the field as it was, i.e. at its default.
template <typename Int> Int readInt(const SettingsStore &store, const QString &key, Int current)
{
    bool ok = false;
    const qlonglong value = store.get(key, QString::number(current)).toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max())
        return current;
    return static_cast<Int>(value);
}

void readText(const SettingsStore &store, const QString &key, QString &field)
{
    field = store.get(key, field);
}

QString numbered(const char *prefix, int channel)
{
    return QLatin1String(prefix) + QString::number(channel + 1);
}

// An index outside the list (nothing selected, a hand-edited file) selects the first entry "25";
// a factor of 0 would make every page count divide by zero.
qint16 validScaleIndex(qint16 index)
{
    return index >= 0 && index <= LastScaleIndex ? index : 0;
}

float scaleFactorOf(qint16 index)
{
    return (25 * (validScaleIndex(index) + 1)) / 100.0f;
}

} // namespace

QString Settings::channelName(int channel) const
{
    if (channel < 0 || channel >= ChannelFields) return QString();
    return Channel_n[channel].trimmed();
}

void Settings::loadSetup(const SettingsStore &store, bool readUnit)
{
    autoScan = readInt(store, QStringLiteral("setup_autoScan"), autoScan);
    selePort = readInt(store, QStringLiteral("setup_selePort"), selePort);
    commp = readInt(store, QStringLiteral("setup_commp"), commp);
    Alarm = readInt(store, QStringLiteral("setup_Alarm"), Alarm);
    T1_CK = readInt(store, QStringLiteral("setup_T1_CK"), T1_CK);
    readText(store, QStringLiteral("setup_T1Hi"), T1Hi);
    readText(store, QStringLiteral("setup_T1Low"), T1Low);
    YScale = readInt(store, QStringLiteral("setup_YScale"), YScale);
    for (int c = 0; c < ChannelFields; ++c)
        readText(store, numbered("Channel_n", c), Channel_n[c]);
    for (int c = 0; c < ChannelFields; ++c)
        readText(store, numbered("Channel_sn", c), Channel_sn[c]);
    for (int c = 0; c < ChannelFields; ++c)
        readText(store, numbered("Channel_p", c), Channel_p[c]);
    readText(store, QStringLiteral("Power_cos"), Power_cos);
    readText(store, QStringLiteral("Power_V"), Power_V);
    readText(store, QStringLiteral("Power_Unit"), Power_Unit);
    // The stored alarm unit indexes the DCV list "mV", "V"; other functions have a one-entry list.
    if (readUnit) unit = readInt(store, QStringLiteral("setup_unit"), unit);
    applyLoadRules();
}

void Settings::saveSetup(SettingsStore &store)
{
    store.save(QStringLiteral("setup_autoScan"), QString::number(autoScan));
    store.save(QStringLiteral("setup_seleport"), QString::number(selePort));
    store.save(QStringLiteral("setup_commp"), QString::number(commp));
    store.save(QStringLiteral("setup_Alarm"), QString::number(Alarm));
    store.save(QStringLiteral("setup_T1Hi"), T1Hi);
    store.save(QStringLiteral("setup_T1Low"), T1Low);
    store.save(QStringLiteral("setup_T1_CK"), QString::number(T1_CK));
    store.save(QStringLiteral("setup_Yscale"), QString::number(YScale));
    store.save(QStringLiteral("setup_unit"), QString::number(unit));
    for (int c = 0; c < ChannelFields; ++c)
        store.save(numbered("Channel_n", c), Channel_n[c]);
    for (int c = 0; c < ChannelFields; ++c)
        store.save(numbered("Channel_sn", c), Channel_sn[c]);
    for (int c = 0; c < ChannelFields; ++c)
        store.save(numbered("Channel_p", c), Channel_p[c]);
    store.save(QStringLiteral("Power_cos"), Power_cos);
    store.save(QStringLiteral("Power_V"), Power_V);
    store.save(QStringLiteral("Power_Unit"), Power_Unit);
    portIndex = commp;
    timeAxisFactor = scaleFactorOf(YScale);
}

void Settings::loadOptions(const SettingsStore &store)
{
    Moni_ForeColor = readInt(store, QStringLiteral("Moni_ForeColor"), Moni_ForeColor);
    Moni_BackColor = readInt(store, QStringLiteral("Moni_BackColor"), Moni_BackColor);
    Graph_BackColorCk = readInt(store, QStringLiteral("Graph_BackColorCk"), Graph_BackColorCk);
    Graph_T1ColorCk = readInt(store, QStringLiteral("Graph_T1ColorCk"), Graph_T1ColorCk);
    Graph_TitleCk = readInt(store, QStringLiteral("Graph_TitleCk"), Graph_TitleCk);
    Graph_BackColor = readInt(store, QStringLiteral("Graph_BackColor"), Graph_BackColor);
    Graph_T1BackColor = readInt(store, QStringLiteral("Graph_T1BackColor"), Graph_T1BackColor);
    readText(store, QStringLiteral("Graph_MainTitle"), Graph_MainTitle);
    Grid_BackColorCk = readInt(store, QStringLiteral("Grid_BackColorCk"), Grid_BackColorCk);
    Grid_lineCk = readInt(store, QStringLiteral("Grid_lineCk"), Grid_lineCk);
    Grid_FlatCk = readInt(store, QStringLiteral("Grid_FlatCk"), Grid_FlatCk);
    Grid_lnsetCk = readInt(store, QStringLiteral("Grid_lnsetCk"), Grid_lnsetCk);
    Grid_RaisedCk = readInt(store, QStringLiteral("Grid_RaisedCk"), Grid_RaisedCk);
    Grid_BackColor = readInt(store, QStringLiteral("Grid_BackColor"), Grid_BackColor);
}

void Settings::saveOptions(SettingsStore &store) const
{
    store.save(QStringLiteral("Moni_ForeColor"), QString::number(Moni_ForeColor));
    store.save(QStringLiteral("Moni_BackColor"), QString::number(Moni_BackColor));
    store.save(QStringLiteral("Graph_BackColorCk"), QString::number(Graph_BackColorCk));
    store.save(QStringLiteral("Graph_T1ColorCk"), QString::number(Graph_T1ColorCk));
    store.save(QStringLiteral("Graph_TitleCk"), QString::number(Graph_TitleCk));
    store.save(QStringLiteral("Graph_BackColor"), QString::number(Graph_BackColor));
    store.save(QStringLiteral("Graph_T1BackColor"), QString::number(Graph_T1BackColor));
    store.save(QStringLiteral("Graph_MainTitle"), Graph_MainTitle);
    store.save(QStringLiteral("Grid_BackColorCk"), QString::number(Grid_BackColorCk));
    store.save(QStringLiteral("Grid_lineCk"), QString::number(Grid_lineCk));
    store.save(QStringLiteral("Grid_FlatCk"), QString::number(Grid_FlatCk));
    store.save(QStringLiteral("Grid_lnsetCk"), QString::number(Grid_lnsetCk));
    store.save(QStringLiteral("Grid_RaisedCk"), QString::number(Grid_RaisedCk));
    store.save(QStringLiteral("Grid_BackColor"), QString::number(Grid_BackColor));
}

void Settings::applyLoadRules()
{
    if (T1Hi.isEmpty()) T1Hi = QStringLiteral("100");
    if (T1Low.isEmpty()) T1Low = QStringLiteral("100");
    YScale = validScaleIndex(YScale);
    if (Power_cos.isEmpty()) Power_cos = QStringLiteral("0.8");
    // Scanning and the one configured port exclude each other; the scan wins.
    if (autoScan == 1) selePort = 0;
    if (commp < 0 || commp > LastPortIndex) commp = 0;
    portIndex = commp;
    timeAxisFactor = scaleFactorOf(YScale);
}
