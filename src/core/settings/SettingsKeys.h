#pragma once
#include <QString>
#include <array>
#include <type_traits>

#include "core/common/ChannelCount.h"
#include "core/settings/Settings.h"

// Every persisted key, once: its name as read and as written, how its text is encoded, which
// field holds it and the values it may take. The field's initial value is the key's first-run
// default.
namespace SettingsKeys
{

struct Name {
    const char *readName;  // the name the key is read under
    const char *writeName; // the name it is written under (the store folds case, so both are one entry)
};

enum class Encoding { Flag, Index, Colour, Text };

// A key held by a field of `Fields`: SetupFields or OptionFields.
template <class Fields> struct Key : Name {
    Encoding encoding;
    // A stored number outside [minimum, maximum] selects the first-run value.
    int minimum;
    int maximum;
    // The field: a check box, a number (a list position or a colour), a text, or one channel's
    // entry of a text array.
    bool Fields::*flag = nullptr;
    int Fields::*number = nullptr;
    QString Fields::*text = nullptr;
    std::array<QString, ChannelCount> Fields::*channelTexts = nullptr;
    int channel = 0; // 0..5 for channelTexts
};
using SetupKey = Key<SetupFields>;
using OptionKey = Key<OptionFields>;

// The setup group in the order it is read: setup_unit, read only for a DCV main channel, then
// the voltage channel of each channel's energy (Energy_pair1..Energy_pair6).
const std::array<SetupKey, 36> &setupKeys();
// The setup group in the order it is written.
const std::array<const SetupKey *, 36> &setupWriteOrder();
// The option group, read and written in this order.
const std::array<OptionKey, 14> &optionKeys();
const SetupKey &unitKey();
// The folder of the file last saved or opened through a file dialog; "" before the first.
const Name &saveFolderKey();
// The language of the windows chosen in the Options dialog ("en", "ja", "zh_TW"); "" follows
// the system. Kept by the language rule itself, held by no field of Settings.
const Name &languageKey();

// The keys of the "Publish readings" dialog: texts that only the publisher's settings read and
// write (the password among them, which makes the file readable by its user alone).
struct PublishKeyNames {
    const char *url;
    const char *password;
    const char *prefix;
    const char *discovery;
    const char *qos;
    const char *caFile;
};
const PublishKeyNames &publishKeys();

// The group is the key's, so that a Settings, which holds both groups, serves as `fields`.
template <class Fields> using FieldsOf = std::common_type_t<Fields>;

// The key's field as store text, and back; text that does not fit the field keeps it as it was.
template <class Fields> QString fieldText(const FieldsOf<Fields> &fields, const Key<Fields> &key);
template <class Fields>
void setFieldFromText(FieldsOf<Fields> &fields, const Key<Fields> &key, const QString &text);
// Whether every key of the group holds the same value in both.
template <class Fields> bool sameValues(const Fields &one, const Fields &other);

} // namespace SettingsKeys
