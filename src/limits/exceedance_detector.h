// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <optional>
#include <vector>

// One time a figure stayed past a limit: from when it crossed (not when the
// on-delay ran out) to when it came back inside by the deadband.
struct Exceedance {
    Figure figure = Figure::Rpm;
    LimitLevel level = LimitLevel::Caution;
    LimitSide side = LimitSide::High;
    double limit = 0;
    double startSeconds = 0;
    std::optional<double> endSeconds; // absent while it lasts
    double peak = 0;                  // the furthest past the limit
    double peakSeconds = 0;
    bool operator==(const Exceedance &) const = default;
};

struct ExceedanceChange {
    enum class Kind { Started, Ended };
    Kind kind = Kind::Started;
    Exceedance exceedance;
};

// Turns figures with their times into exceedances. Pure: the live console,
// the logger, the viewer and the command line feed it the same rows and get
// the same events. A caution and an alarm on the same side are separate
// exceedances: an alarm lies inside a caution.
class ExceedanceDetector {
public:
    explicit ExceedanceDetector(const EngineLimits &limits);

    // One figure's value at `seconds` (never decreasing for that figure).
    // NaN, or more than `longestGapSeconds` since its last value, is a gap:
    // what was running ends at the last value before it.
    std::vector<ExceedanceChange> take(Figure figure, double seconds, double value);
    // The end of the data: every running exceedance ends at its last value.
    std::vector<ExceedanceChange> finish();
    // Those counted (past their on-delay) and not yet ended.
    std::vector<Exceedance> active() const;

    static constexpr double longestGapSeconds = 3.0;
};
