#pragma once
#include <QString>
#include <array>

struct Settings;

// Every persisted key, once: its name as read and as written, its group, how its text is
// encoded, which field of Settings holds it, its first-run default and the values it may take.
namespace SettingsKeys
{

// Files: kept by the file dialogs themselves, held by no field of Settings.
enum class Group { Setup, Options, Files };
enum class Encoding { Flag, Index, Colour, Text };

struct Key {
    const char *readName;  // the name the key is read under
    const char *writeName; // the name it is written under (the store folds case, so both are one entry)
    Group group;
    Encoding encoding;
    const char *defaultText;
    // A stored number outside [minimum, maximum] selects the default.
    int minimum;
    int maximum;
    // The field: a 16-bit number, a 32-bit colour, a text, or one channel's entry of a text array.
    qint16 Settings::*small;
    qint32 Settings::*colour;
    QString Settings::*text;
    std::array<QString, 6> Settings::*channelTexts;
    int channel; // 0..5 for channelTexts
};

// The setup group in the order it is read; setup_unit, read only for a DCV main channel, last.
const std::array<Key, 30> &setupKeys();
// The setup group in the order it is written.
const std::array<const Key *, 30> &setupWriteOrder();
// The option group, read and written in this order.
const std::array<Key, 14> &optionKeys();
const Key &unitKey();
// The voltage channel each channel's energy takes its voltage from: "0" none, "1".."6" the
// channel (Energy_pair1..Energy_pair6), read and written after the setup group.
const std::array<Key, 6> &energyPairKeys();
// The folder of the file last saved or opened through a file dialog; "" before the first.
const Key &saveFolderKey();
// The language of the windows chosen in the Options dialog ("en", "ja", "zh_TW"); "" follows
// the system. Kept by the language rule itself, held by no field of Settings.
const Key &languageKey();

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

// The key's field as store text, and back; text that does not fit the field keeps it as it was.
QString fieldText(const Settings &settings, const Key &key);
void setFieldFromText(Settings &settings, const Key &key, const QString &text);

} // namespace SettingsKeys
