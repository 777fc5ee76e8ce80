// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"
#include "protocol/temperature_scale.h"

#include <QString>

class TemperatureScaleChoice;

// The user's scale is remembered between runs in the console's own settings
// (~/.config/torvane-console/console.conf, beside limits.txt). Only the
// switch in the window's menu changes it: --fahrenheit and --celsius choose
// for one run.
QString defaultConsoleSettingsPath();
// Celsius when nothing, or nothing readable, is remembered.
TemperatureScale rememberedTemperatureScale(const QString &settingsPath);
// What went wrong, or nothing.
QString rememberTemperatureScale(const QString &settingsPath, TemperatureScale scale);

// The command line's choice, else the remembered one.
TemperatureScale startingTemperatureScale(const CommandLine &options,
                                          const QString &settingsPath = defaultConsoleSettingsPath());
// Remembers each change of `choice` from now on; a failure is said on stderr.
void rememberTemperatureScaleChanges(TemperatureScaleChoice &choice,
                                     const QString &settingsPath = defaultConsoleSettingsPath());
