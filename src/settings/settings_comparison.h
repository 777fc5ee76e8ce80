// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"
#include "settings/settings_file.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// What loading a settings file would change on the unit, before anything is
// sent.
struct SettingComparison {
    Setting setting = Setting::StartDelay;
    int unitValue = 0;
    std::optional<int> fileValue; // empty: the file leaves the setting as it is
    bool changed() const { return fileValue && *fileValue != unitValue; }
};

struct SettingsComparison {
    std::array<SettingComparison, settingCount> rows{};
    QString unitFirmware;
    QString fileFirmware;
    bool otherFirmware() const;
    // The changed settings, in the window's order.
    std::vector<SettingChange> changes() const;
};

SettingsComparison compareSettings(const UnitState &unit, const SettingsFile &file);
// The comparison as a plain text table, for stdout.
QString comparisonText(const SettingsComparison &comparison);
