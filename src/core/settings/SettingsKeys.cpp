#include "core/settings/SettingsKeys.h"

#include <limits>

#include "core/settings/Settings.h"

namespace SettingsKeys
{

namespace
{

constexpr int Int16Min = std::numeric_limits<qint16>::min();
constexpr int Int16Max = std::numeric_limits<qint16>::max();
constexpr int Int32Min = std::numeric_limits<qint32>::min();
constexpr int Int32Max = std::numeric_limits<qint32>::max();

constexpr Key number(const char *name, Group group, Encoding encoding, qint16 Settings::*field,
                     const char *defaultText, int minimum = Int16Min, int maximum = Int16Max,
                     const char *writeName = nullptr)
{
    return {name,        writeName ? writeName : name,
            group,       encoding,
            defaultText, minimum,
            maximum,     field,
            nullptr,     nullptr,
            nullptr,     0};
}
constexpr Key colour(const char *name, qint32 Settings::*field, const char *defaultText)
{
    return {name,     name,    Group::Options, Encoding::Colour, defaultText, Int32Min,
            Int32Max, nullptr, field,          nullptr,          nullptr,     0};
}
constexpr Key text(const char *name, Group group, QString Settings::*field, const char *defaultText)
{
    return {name, name, group, Encoding::Text, defaultText, 0, 0, nullptr, nullptr, field, nullptr, 0};
}
constexpr Key channelText(const char *name, std::array<QString, 6> Settings::*field, int channel,
                          const char *defaultText)
{
    return {name, name,    Group::Setup, Encoding::Text, defaultText, 0,
            0,    nullptr, nullptr,      nullptr,        field,       channel};
}

constexpr Group S = Group::Setup;
constexpr Group O = Group::Options;
using E = Encoding;

// "Time axial scales" entries 25 .. 200; COM1 .. COM16. An index outside the list would make
// the time-axis factor 0, which every page count divides by.
constexpr int LastScaleIndex = 7;
constexpr int LastPortIndex = 15;

const std::array<Key, 30> setupTable{{
    number("setup_autoScan", S, E::Flag, &Settings::autoScan, "1"),
    number("setup_selePort", S, E::Flag, &Settings::selePort, "0", Int16Min, Int16Max, "setup_seleport"),
    number("setup_commp", S, E::Index, &Settings::commp, "0", 0, LastPortIndex),
    number("setup_Alarm", S, E::Flag, &Settings::Alarm, "0"),
    number("setup_T1_CK", S, E::Index, &Settings::T1_CK, "0"),
    text("setup_T1Hi", S, &Settings::T1Hi, "100"),
    text("setup_T1Low", S, &Settings::T1Low, "100"),
    number("setup_YScale", S, E::Index, &Settings::YScale, "0", 0, LastScaleIndex, "setup_Yscale"),
    channelText("Channel_n1", &Settings::Channel_n, 0, "Ch1"),
    channelText("Channel_n2", &Settings::Channel_n, 1, "Ch2"),
    channelText("Channel_n3", &Settings::Channel_n, 2, "Ch3"),
    channelText("Channel_n4", &Settings::Channel_n, 3, "Ch4"),
    channelText("Channel_n5", &Settings::Channel_n, 4, "Ch5"),
    channelText("Channel_n6", &Settings::Channel_n, 5, "Ch6"),
    channelText("Channel_sn1", &Settings::Channel_sn, 0, "-"),
    channelText("Channel_sn2", &Settings::Channel_sn, 1, "-"),
    channelText("Channel_sn3", &Settings::Channel_sn, 2, "-"),
    channelText("Channel_sn4", &Settings::Channel_sn, 3, "-"),
    channelText("Channel_sn5", &Settings::Channel_sn, 4, "-"),
    channelText("Channel_sn6", &Settings::Channel_sn, 5, "-"),
    channelText("Channel_p1", &Settings::Channel_p, 0, "-"),
    channelText("Channel_p2", &Settings::Channel_p, 1, "-"),
    channelText("Channel_p3", &Settings::Channel_p, 2, "-"),
    channelText("Channel_p4", &Settings::Channel_p, 3, "-"),
    channelText("Channel_p5", &Settings::Channel_p, 4, "-"),
    channelText("Channel_p6", &Settings::Channel_p, 5, "-"),
    text("Power_cos", S, &Settings::Power_cos, "0.8"),
    text("Power_V", S, &Settings::Power_V, "110"),
    text("Power_Unit", S, &Settings::Power_Unit, "0"),
    // The alarm unit indexes the DCV list "mV", "V"; other functions have a one-entry list.
    number("setup_unit", S, E::Index, &Settings::unit, "0"),
}};

const std::array<Key, 14> optionTable{{
    colour("Moni_ForeColor", &Settings::Moni_ForeColor, "16777215"),
    colour("Moni_BackColor", &Settings::Moni_BackColor, "32768"),
    number("Graph_BackColorCk", O, E::Flag, &Settings::Graph_BackColorCk, "1"),
    number("Graph_T1ColorCk", O, E::Flag, &Settings::Graph_T1ColorCk, "1"),
    number("Graph_TitleCk", O, E::Flag, &Settings::Graph_TitleCk, "0"),
    colour("Graph_BackColor", &Settings::Graph_BackColor, "8388608"),
    colour("Graph_T1BackColor", &Settings::Graph_T1BackColor, "255"),
    text("Graph_MainTitle", O, &Settings::Graph_MainTitle, "ABC"),
    number("Grid_BackColorCk", O, E::Flag, &Settings::Grid_BackColorCk, "1"),
    number("Grid_lineCk", O, E::Flag, &Settings::Grid_lineCk, "1"),
    number("Grid_FlatCk", O, E::Flag, &Settings::Grid_FlatCk, "1"),
    number("Grid_lnsetCk", O, E::Flag, &Settings::Grid_lnsetCk, "0"),
    number("Grid_RaisedCk", O, E::Flag, &Settings::Grid_RaisedCk, "0"),
    colour("Grid_BackColor", &Settings::Grid_BackColor, "16777215"),
}};

const std::array<Key, 6> energyPairTable{{
    channelText("Energy_pair1", &Settings::Energy_pair, 0, "0"),
    channelText("Energy_pair2", &Settings::Energy_pair, 1, "0"),
    channelText("Energy_pair3", &Settings::Energy_pair, 2, "0"),
    channelText("Energy_pair4", &Settings::Energy_pair, 3, "0"),
    channelText("Energy_pair5", &Settings::Energy_pair, 4, "0"),
    channelText("Energy_pair6", &Settings::Energy_pair, 5, "0"),
}};

enum SetupRow { AutoScan, SelePort, Commp, AlarmFlag, T1Check, T1Hi, T1Low, YScale, FirstChannelText };
constexpr int ChannelTextKeys = 18;
constexpr int PowerCos = FirstChannelText + ChannelTextKeys;
constexpr int Unit = PowerCos + 3;

std::array<const Key *, 30> makeWriteOrder()
{
    std::array<const Key *, 30> order{};
    int at = 0;
    for (const int row : {int(AutoScan), int(SelePort), int(Commp), int(AlarmFlag), int(T1Hi), int(T1Low),
                          int(T1Check), int(YScale), Unit})
        order[at++] = &setupTable[row];
    for (int row = FirstChannelText; row < Unit; ++row)
        order[at++] = &setupTable[row];
    return order;
}

} // namespace

const std::array<Key, 30> &setupKeys()
{
    return setupTable;
}

const std::array<const Key *, 30> &setupWriteOrder()
{
    static const std::array<const Key *, 30> order = makeWriteOrder();
    return order;
}

const std::array<Key, 14> &optionKeys()
{
    return optionTable;
}

const Key &unitKey()
{
    return setupTable[Unit];
}

const std::array<Key, 6> &energyPairKeys()
{
    return energyPairTable;
}

const Key &saveFolderKey()
{
    static const Key key{"save_folder", "save_folder", Group::Files, Encoding::Text, "", 0, 0,
                         nullptr,       nullptr,       nullptr,      nullptr,        0};
    return key;
}

const Key &languageKey()
{
    static const Key key{"language", "language", Group::Options, Encoding::Text, "",      0,
                         0,          nullptr,    nullptr,        nullptr,        nullptr, 0};
    return key;
}

QString fieldText(const Settings &settings, const Key &key)
{
    if (key.small) return QString::number(settings.*key.small);
    if (key.colour) return QString::number(settings.*key.colour);
    if (key.text) return settings.*key.text;
    return (settings.*key.channelTexts)[std::size_t(key.channel)];
}

void setFieldFromText(Settings &settings, const Key &key, const QString &text)
{
    if (key.text) {
        settings.*key.text = text;
        return;
    }
    if (key.channelTexts) {
        (settings.*key.channelTexts)[std::size_t(key.channel)] = text;
        return;
    }
    // The store holds decimal texts; anything else (a hand-edited file, a number the field
    // cannot hold) leaves the field as it was, i.e. at its default.
    bool ok = false;
    qlonglong value = text.toLongLong(&ok, 10);
    const bool fits =
        key.small ? value >= Int16Min && value <= Int16Max : value >= Int32Min && value <= Int32Max;
    if (!ok || !fits) return;
    // A position outside its list selects the first entry, the first-run default.
    if (value < key.minimum || value > key.maximum) value = QLatin1String(key.defaultText).toInt();
    if (key.small)
        settings.*key.small = qint16(value);
    else
        settings.*key.colour = qint32(value);
}

const PublishKeyNames &publishKeys()
{
    static constexpr PublishKeyNames names{"publish_url",       "publish_password", "publish_topic",
                                           "publish_discovery", "publish_qos",      "publish_ca"};
    return names;
}

} // namespace SettingsKeys
