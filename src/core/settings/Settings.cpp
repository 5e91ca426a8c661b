#include "core/settings/Settings.h"

#include <QRegularExpression>

#include "core/common/ChannelCount.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace
{

constexpr qint16 LastScaleIndex = 7; // "25" .. "200"

// A factor of 0 would make every page count divide by zero.
float scaleFactorOf(qint16 index)
{
    return (25 * (index >= 0 && index <= LastScaleIndex ? index + 1 : 1)) / 100.0f;
}

// Each read passes the field's current value as the default, so a missing key leaves it as is.
void load(Settings &settings, const SettingsStore &store, const SettingsKeys::Key &key)
{
    const QString name = QLatin1String(key.readName);
    SettingsKeys::setFieldFromText(settings, key, store.get(name, SettingsKeys::fieldText(settings, key)));
}

void save(const Settings &settings, SettingsStore &store, const SettingsKeys::Key &key)
{
    store.save(QLatin1String(key.writeName), SettingsKeys::fieldText(settings, key));
}

// Digits with at most one point, as the power fields take them.
bool isRate(const QString &text)
{
    static const QRegularExpression rate(QStringLiteral("^\\s*\\+?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    return rate.match(text).hasMatch();
}

} // namespace

Settings::Settings()
{
    for (const SettingsKeys::Key &key : SettingsKeys::setupKeys())
        SettingsKeys::setFieldFromText(*this, key, QLatin1String(key.defaultText));
    for (const SettingsKeys::Key &key : SettingsKeys::energyPairKeys())
        SettingsKeys::setFieldFromText(*this, key, QLatin1String(key.defaultText));
    for (const SettingsKeys::Key &key : SettingsKeys::optionKeys())
        SettingsKeys::setFieldFromText(*this, key, QLatin1String(key.defaultText));
}

QString Settings::channelName(int channel) const
{
    if (channel < 0 || channel >= ChannelCount) return QString();
    return Channel_n[channel].trimmed();
}

std::array<QString, 6> Settings::channelNames() const
{
    std::array<QString, 6> names;
    for (int c = 0; c < ChannelCount; ++c)
        names[c] = channelName(c);
    return names;
}

int Settings::voltageChannel(int channel) const
{
    if (channel < 0 || channel >= ChannelCount) return -1;
    bool ok = false;
    const int pair = Energy_pair[std::size_t(channel)].toInt(&ok) - 1;
    return ok && pair >= 0 && pair < ChannelCount && pair != channel ? pair : -1;
}

void Settings::loadSetup(const SettingsStore &store, bool readUnit)
{
    const SettingsKeys::Key &unitKey = SettingsKeys::unitKey();
    for (const SettingsKeys::Key &key : SettingsKeys::setupKeys()) {
        if (&key != &unitKey || readUnit) load(*this, store, key);
    }
    for (const SettingsKeys::Key &key : SettingsKeys::energyPairKeys())
        load(*this, store, key);
    applyLoadRules();
}

void Settings::saveSetup(SettingsStore &store)
{
    for (const SettingsKeys::Key *key : SettingsKeys::setupWriteOrder())
        save(*this, store, *key);
    for (const SettingsKeys::Key &key : SettingsKeys::energyPairKeys())
        save(*this, store, key);
    portIndex = commp;
    timeAxisFactor = scaleFactorOf(YScale);
}

void Settings::loadOptions(const SettingsStore &store)
{
    for (const SettingsKeys::Key &key : SettingsKeys::optionKeys())
        load(*this, store, key);
}

void Settings::saveOptions(SettingsStore &store) const
{
    for (const SettingsKeys::Key &key : SettingsKeys::optionKeys())
        save(*this, store, key);
}

void Settings::applyLoadRules()
{
    if (T1Hi.isEmpty()) T1Hi = QStringLiteral("100");
    if (T1Low.isEmpty()) T1Low = QStringLiteral("100");
    if (Power_cos.isEmpty()) Power_cos = QStringLiteral("0.8");
    // A rate the dialog would refuse (negative, not a number) counts as "0", a pairing it
    // would refuse as none.
    for (QString *rate : {&Power_cos, &Power_V, &Power_Unit})
        if (!isRate(*rate)) *rate = QStringLiteral("0");
    for (int c = 0; c < ChannelCount; ++c)
        if (voltageChannel(c) < 0) Energy_pair[std::size_t(c)] = QStringLiteral("0");
    // Scanning and the one configured port exclude each other; the scan wins.
    if (autoScan == 1) selePort = 0;
    portIndex = commp;
    timeAxisFactor = scaleFactorOf(YScale);
}
