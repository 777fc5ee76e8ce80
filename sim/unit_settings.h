// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The unit's configuration, in the units the protocol carries.
struct UnitSettings {
    int advanceShift = 0;     // steps of 1.4 degrees, -9..9
    int startDelay = 2;       // 0..8
    int led = 0;              // 0 Kill Sw, 1 Mode, 2 Diag, 3 Sensor
    int pulsesPerRev = 1;     // tach output, 0..2
    int maxRpmUnits = 14;     // units of 256 RPM, 0..16
    int maxAdvanceSteps = 30; // steps of 1.4 degrees, 14..35

    bool operator==(const UnitSettings &) const = default;
};

// How one setting is changed by its upper-case command and reported by its
// lower-case query.
struct SettingField {
    char command;
    char query;
    int UnitSettings::*member;
    int low;
    int high;
    // The acknowledgement repeats the command as received; otherwise it is
    // the letter and the new value as one decimal digit.
    bool echoCommand;
};

inline constexpr SettingField settingFields[] = {
    {'N', 'n', &UnitSettings::maxAdvanceSteps, 14, 35, true},
    {'M', 'm', &UnitSettings::maxRpmUnits, 0, 16, true},
    {'C', 'c', &UnitSettings::advanceShift, -9, 9, true},
    {'T', 't', &UnitSettings::pulsesPerRev, 0, 2, false},
    {'L', 'l', &UnitSettings::led, 0, 3, false},
    {'D', 'd', &UnitSettings::startDelay, 0, 8, false},
};

// The field changed by an upper-case command letter or reported by a
// lower-case query letter; nullptr for any other letter.
const SettingField *settingForCommand(char letter);
const SettingField *settingForQuery(char letter);
