// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"

#include <optional>
#include <vector>

// Why the unit link would not start giving the unit a set of settings.
enum class TransferRefusal {
    None,
    NotConnected,   // no unit is streaming
    NotReadOut,     // the unit's settings have not all been read yet
    EngineRunning,  // an ignition setting changed mid-run is a hazard
    Busy,           // another set of settings is still being given
};

// What became of one setting the link gave the unit, once the unit was asked
// for it again.
struct SettingCheck {
    enum class Outcome {
        Taken,       // the unit reports the value it was given
        Refused,     // the unit reports another value
        NoAnswer,    // the unit did not report the value when asked
        NotReadable, // the unit's report cannot carry this value (a negative shift)
        NotSent,     // the transfer ended before the command went out
        UnitSilent,  // the unit fell silent before it confirmed the value
    };
    Setting setting = Setting::StartDelay;
    int wanted = 0;
    std::optional<int> reported;
    Outcome outcome = Outcome::NoAnswer;
};
