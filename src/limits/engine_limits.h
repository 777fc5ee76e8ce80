// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <array>
#include <optional>

// How far out of bounds a figure is: a caution is worth watching, an alarm
// needs action.
enum class LimitLevel { Caution, Alarm };
enum class LimitSide { Low, High };

struct Limit {
    double value = 0;
    // How long the figure must stay past the limit before it counts, so a
    // spike of a fraction of a second raises nothing.
    double onDelaySeconds = 1.0;
    bool operator==(const Limit &) const = default;
};

// Up to four limits on one figure; each may be absent.
struct FigureLimits {
    std::optional<Limit> lowAlarm;
    std::optional<Limit> lowCaution;
    std::optional<Limit> highCaution;
    std::optional<Limit> highAlarm;
    // How far back inside a limit the figure must come before an exceedance
    // ends, so noise around a limit raises one exceedance, not a string.
    // Absent: 1 % of the figure's gauge range.
    std::optional<double> deadband;

    bool any() const { return lowAlarm || lowCaution || highCaution || highAlarm; }
    const std::optional<Limit> &limit(LimitSide side, LimitLevel level) const;
    std::optional<Limit> &limit(LimitSide side, LimitLevel level);
    double deadbandFor(Figure figure) const;
    bool operator==(const FigureLimits &) const = default;
};

struct EngineLimits {
    std::array<FigureLimits, figureCount> figures;

    const FigureLimits &of(Figure figure) const { return figures[std::size_t(figure)]; }
    FigureLimits &of(Figure figure) { return figures[std::size_t(figure)]; }
    bool operator==(const EngineLimits &) const = default;
};

// What applies when the user set none: an alarm above the unit's own maximum
// RPM and maximum advance (when read from the unit), low and high limits on
// the bus volts from the gauge's colour bands, nothing on temperature.
EngineLimits defaultLimits(std::optional<int> unitMaxRpm, std::optional<int> unitMaxAdvance);
