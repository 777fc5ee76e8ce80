// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/setting_names.h"

#include "protocol/setting_texts.h"

#include <array>

namespace {

struct SettingNames {
    const char *key;
    const char *caption;
    const char *meaning;
};

constexpr std::array<SettingNames, settingCount> names{{
    {"start_delay", "Start Delay", "Delay before the ignition fires when the engine starts"},
    {"led", "LED", "What the unit's LED shows"},
    {"tach_ppr", "Tach - PPR", "Tachometer output pulses per revolution"},
    {"advance_shift", "Adv Shift", "Moves the whole advance curve, steps of 1.4 degrees"},
    {"max_rpm", "Max RPM", "Highest engine speed, units of 256 RPM"},
    {"max_advance", "Max ADV", "Largest ignition advance, steps of 1.4 degrees"},
}};

} // namespace

QString settingKey(Setting setting)
{
    return QLatin1String(names[int(setting)].key);
}

std::optional<Setting> settingForKey(QStringView key)
{
    for (int i = 0; i < settingCount; ++i)
        if (key == QLatin1String(names[i].key))
            return Setting(i);
    return std::nullopt;
}

QString settingCaption(Setting setting)
{
    return QLatin1String(names[int(setting)].caption);
}

QString settingValueText(Setting setting, int value)
{
    switch (setting) {
    case Setting::Led: return ledText(value);
    case Setting::AdvanceShift:
    case Setting::MaxAdvance: return advanceDegreesText(value) + QStringLiteral(" degrees");
    case Setting::MaxRpm: return maxRpmText(value) + QStringLiteral(" RPM");
    case Setting::StartDelay:
    case Setting::PulsesPerRev: break;
    }
    return QString::number(value);
}

QString settingMeaning(Setting setting)
{
    return QLatin1String(names[int(setting)].meaning);
}
