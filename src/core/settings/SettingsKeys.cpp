#include "core/settings/SettingsKeys.h"

#include <limits>

namespace SettingsKeys
{

namespace
{

constexpr int Int16Min = std::numeric_limits<qint16>::min();
constexpr int Int16Max = std::numeric_limits<qint16>::max();
constexpr int Int32Min = std::numeric_limits<qint32>::min();
constexpr int Int32Max = std::numeric_limits<qint32>::max();

template <class Fields>
constexpr Key<Fields> flag(const char *name, bool Fields::*field, const char *writeName = nullptr)
{
    Key<Fields> key{{name, writeName ? writeName : name}, Encoding::Flag, Int16Min, Int16Max};
    key.flag = field;
    return key;
}
template <class Fields>
constexpr Key<Fields> index(const char *name, int Fields::*field, int minimum = Int16Min,
                            int maximum = Int16Max, const char *writeName = nullptr)
{
    Key<Fields> key{{name, writeName ? writeName : name}, Encoding::Index, minimum, maximum};
    key.number = field;
    return key;
}
constexpr OptionKey colour(const char *name, int OptionFields::*field)
{
    OptionKey key{{name, name}, Encoding::Colour, Int32Min, Int32Max};
    key.number = field;
    return key;
}
template <class Fields> constexpr Key<Fields> text(const char *name, QString Fields::*field)
{
    Key<Fields> key{{name, name}, Encoding::Text, 0, 0};
    key.text = field;
    return key;
}
constexpr SetupKey channelText(const char *name, std::array<QString, ChannelCount> SetupFields::*field,
                               int channel)
{
    SetupKey key{{name, name}, Encoding::Text, 0, 0};
    key.channelTexts = field;
    key.channel = channel;
    return key;
}

using S = SetupFields;
using O = OptionFields;

// "Time axial scales" entries 25 .. 200; COM1 .. COM16. An index outside the list would make
// the time-axis factor 0, which every page count divides by.
constexpr int LastScaleIndex = 7;
constexpr int LastPortIndex = 15;

const std::array<SetupKey, 36> setupTable{{
    flag("setup_autoScan", &S::autoScan),
    flag("setup_selePort", &S::selePort, "setup_seleport"),
    index("setup_commp", &S::commp, 0, LastPortIndex),
    flag("setup_Alarm", &S::Alarm),
    index("setup_T1_CK", &S::T1_CK),
    text("setup_T1Hi", &S::T1Hi),
    text("setup_T1Low", &S::T1Low),
    index("setup_YScale", &S::YScale, 0, LastScaleIndex, "setup_Yscale"),
    channelText("Channel_n1", &S::Channel_n, 0),
    channelText("Channel_n2", &S::Channel_n, 1),
    channelText("Channel_n3", &S::Channel_n, 2),
    channelText("Channel_n4", &S::Channel_n, 3),
    channelText("Channel_n5", &S::Channel_n, 4),
    channelText("Channel_n6", &S::Channel_n, 5),
    channelText("Channel_sn1", &S::Channel_sn, 0),
    channelText("Channel_sn2", &S::Channel_sn, 1),
    channelText("Channel_sn3", &S::Channel_sn, 2),
    channelText("Channel_sn4", &S::Channel_sn, 3),
    channelText("Channel_sn5", &S::Channel_sn, 4),
    channelText("Channel_sn6", &S::Channel_sn, 5),
    channelText("Channel_p1", &S::Channel_p, 0),
    channelText("Channel_p2", &S::Channel_p, 1),
    channelText("Channel_p3", &S::Channel_p, 2),
    channelText("Channel_p4", &S::Channel_p, 3),
    channelText("Channel_p5", &S::Channel_p, 4),
    channelText("Channel_p6", &S::Channel_p, 5),
    text("Power_cos", &S::Power_cos),
    text("Power_V", &S::Power_V),
    text("Power_Unit", &S::Power_Unit),
    index("setup_unit", &S::unit),
    channelText("Energy_pair1", &S::Energy_pair, 0),
    channelText("Energy_pair2", &S::Energy_pair, 1),
    channelText("Energy_pair3", &S::Energy_pair, 2),
    channelText("Energy_pair4", &S::Energy_pair, 3),
    channelText("Energy_pair5", &S::Energy_pair, 4),
    channelText("Energy_pair6", &S::Energy_pair, 5),
}};

const std::array<OptionKey, 14> optionTable{{
    colour("Moni_ForeColor", &O::Moni_ForeColor),
    colour("Moni_BackColor", &O::Moni_BackColor),
    flag("Graph_BackColorCk", &O::Graph_BackColorCk),
    flag("Graph_T1ColorCk", &O::Graph_T1ColorCk),
    flag("Graph_TitleCk", &O::Graph_TitleCk),
    colour("Graph_BackColor", &O::Graph_BackColor),
    colour("Graph_T1BackColor", &O::Graph_T1BackColor),
    text("Graph_MainTitle", &O::Graph_MainTitle),
    flag("Grid_BackColorCk", &O::Grid_BackColorCk),
    flag("Grid_lineCk", &O::Grid_lineCk),
    flag("Grid_FlatCk", &O::Grid_FlatCk),
    flag("Grid_lnsetCk", &O::Grid_lnsetCk),
    flag("Grid_RaisedCk", &O::Grid_RaisedCk),
    colour("Grid_BackColor", &O::Grid_BackColor),
}};

enum SetupRow { AutoScan, SelePort, Commp, AlarmFlag, T1Check, T1Hi, T1Low, YScale, FirstChannelText };
constexpr int ChannelTextKeys = 18;
constexpr int PowerCos = FirstChannelText + ChannelTextKeys;
constexpr int Unit = PowerCos + 3;

std::array<const SetupKey *, 36> makeWriteOrder()
{
    std::array<const SetupKey *, 36> order{};
    int at = 0;
    for (const int row : {int(AutoScan), int(SelePort), int(Commp), int(AlarmFlag), int(T1Hi), int(T1Low),
                          int(T1Check), int(YScale), Unit})
        order[at++] = &setupTable[row];
    for (int row = FirstChannelText; row < int(setupTable.size()); ++row)
        if (row != Unit) order[at++] = &setupTable[row];
    return order;
}

// The keys of the group that `Fields` is.
const std::array<SetupKey, 36> &keysOf(const SetupFields *)
{
    return setupTable;
}

const std::array<OptionKey, 14> &keysOf(const OptionFields *)
{
    return optionTable;
}

} // namespace

const std::array<SetupKey, 36> &setupKeys()
{
    return setupTable;
}

const std::array<const SetupKey *, 36> &setupWriteOrder()
{
    static const std::array<const SetupKey *, 36> order = makeWriteOrder();
    return order;
}

const std::array<OptionKey, 14> &optionKeys()
{
    return optionTable;
}

const SetupKey &unitKey()
{
    return setupTable[Unit];
}

const Name &saveFolderKey()
{
    static constexpr Name name{"save_folder", "save_folder"};
    return name;
}

const Name &languageKey()
{
    static constexpr Name name{"language", "language"};
    return name;
}

const PublishKeyNames &publishKeys()
{
    static constexpr PublishKeyNames names{"publish_url",       "publish_password", "publish_topic",
                                           "publish_discovery", "publish_qos",      "publish_ca"};
    return names;
}

template <class Fields> QString fieldText(const FieldsOf<Fields> &fields, const Key<Fields> &key)
{
    if (key.flag) return QString::number(int(fields.*key.flag));
    if (key.number) return QString::number(fields.*key.number);
    if (key.text) return fields.*key.text;
    return (fields.*key.channelTexts)[std::size_t(key.channel)];
}

template <class Fields>
void setFieldFromText(FieldsOf<Fields> &fields, const Key<Fields> &key, const QString &text)
{
    if (key.text) {
        fields.*key.text = text;
        return;
    }
    if (key.channelTexts) {
        (fields.*key.channelTexts)[std::size_t(key.channel)] = text;
        return;
    }
    // The store holds decimal texts; anything else (a hand-edited file, a number the field
    // cannot hold) leaves the field as it was, i.e. at its default.
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    const bool fits = key.encoding == Encoding::Colour ? value >= Int32Min && value <= Int32Max
                                                       : value >= Int16Min && value <= Int16Max;
    if (!ok || !fits) return;
    // A check box is checked by 1 alone.
    if (key.flag) {
        fields.*key.flag = value == 1;
        return;
    }
    // A position outside its list selects the first entry, the first-run default.
    fields.*key.number = value >= key.minimum && value <= key.maximum ? int(value) : Fields().*key.number;
}

template <class Fields> bool sameValues(const Fields &one, const Fields &other)
{
    for (const Key<Fields> &key : keysOf(&one))
        if (fieldText(one, key) != fieldText(other, key)) return false;
    return true;
}

template QString fieldText(const SetupFields &, const SetupKey &);
template QString fieldText(const OptionFields &, const OptionKey &);
template void setFieldFromText(SetupFields &, const SetupKey &, const QString &);
template void setFieldFromText(OptionFields &, const OptionKey &, const QString &);
template bool sameValues(const SetupFields &, const SetupFields &);
template bool sameValues(const OptionFields &, const OptionFields &);

} // namespace SettingsKeys
