// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"

#include <QString>
#include <optional>

// How a setting is named in a settings file ("max_advance") and to a person
// ("Max ADV", the window's caption), and how its raw value reads in the
// window's units ("42 degrees", "3584 RPM", "Kill Sw").

QString settingKey(Setting setting);
std::optional<Setting> settingForKey(QStringView key);
QString settingCaption(Setting setting);
// The window's text for a raw value, with its unit where it has one.
QString settingValueText(Setting setting, int value);
// One line on what the setting does, for the printed sheet.
QString settingMeaning(Setting setting);
