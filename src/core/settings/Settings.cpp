#include "core/settings/Settings.h"

#include <QRegularExpression>

#include "core/common/ChannelCount.h"

namespace
{

constexpr int LastScaleIndex = 7; // "25" .. "200"

// A factor of 0 would make every page count divide by zero.
float scaleFactorOf(int index)
{
    return (25 * (index >= 0 && index <= LastScaleIndex ? index + 1 : 1)) / 100.0f;
}

// Digits with at most one point, as the power fields take them.
bool isRate(const QString &text)
{
    static const QRegularExpression rate(QStringLiteral("^\\s*\\+?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    return rate.match(text).hasMatch();
}

} // namespace

QString Settings::channelName(int channel) const
{
    if (channel < 0 || channel >= ChannelCount) return QString();
    return Channel_n[channel].trimmed();
}

std::array<QString, ChannelCount> Settings::channelNames() const
{
    std::array<QString, ChannelCount> names;
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

void Settings::applyLoadRules()
{
    const SetupFields firstRun;
    for (QString SetupFields::*text : {&SetupFields::T1Hi, &SetupFields::T1Low, &SetupFields::Power_cos})
        if ((this->*text).isEmpty()) this->*text = firstRun.*text;
    // A rate the dialog would refuse (negative, not a number) counts as "0", a pairing it
    // would refuse as none.
    for (QString *rate : {&Power_cos, &Power_V, &Power_Unit})
        if (!isRate(*rate)) *rate = QStringLiteral("0");
    for (int c = 0; c < ChannelCount; ++c)
        if (voltageChannel(c) < 0) Energy_pair[std::size_t(c)] = QStringLiteral("0");
    // Scanning and the one configured port exclude each other; the scan wins.
    if (autoScan) selePort = false;
    deriveFromSetup();
}

void Settings::deriveFromSetup()
{
    portIndex = qint16(commp);
    timeAxisFactor = scaleFactorOf(YScale);
}
