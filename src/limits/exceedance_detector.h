// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <array>
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
    // The same, appending to `changes`: no vector per value for a long run.
    void take(Figure figure, double seconds, double value, std::vector<ExceedanceChange> &changes);
    // The end of the data: every running exceedance ends at its last value.
    std::vector<ExceedanceChange> finish();
    // Time passing without a value: an on-delay may run out on the value
    // last given, and a figure silent for longer than `longestGapSeconds`
    // ends what it had running. The same rows with or without calls in
    // between give the same exceedances.
    std::vector<ExceedanceChange> advance(double seconds);
    // Those counted (past their on-delay) and not yet ended.
    std::vector<Exceedance> active() const;
    // Something is past a limit, counted or not: time alone may change it.
    bool pending() const;

    static constexpr double longestGapSeconds = 3.0;

private:
    struct Watch {
        enum class State { Inside, Candidate, Counted };
        State state = State::Inside;
        double limit = 0;
        double onDelay = 0;
        double deadband = 0;
        Exceedance current;
    };
    struct Track {
        std::vector<Watch> watches;
        bool heard = false; // a value since the last gap
        int busy = 0;       // watches past their limit, counted or not
        // Values from quietLow to quietHigh are past no limit: with nothing
        // busy, such a value changes nothing but the time.
        double quietLow = 0;
        double quietHigh = 0;
        double lastSeconds = 0;
        double lastValue = 0;
    };

    void passTime(Track &track, double seconds, std::vector<ExceedanceChange> &changes);
    void endGap(Track &track, std::vector<ExceedanceChange> &changes);
    static void step(Track &track, Watch &watch, double seconds, double value,
                     std::vector<ExceedanceChange> &changes);

    std::array<Track, figureCount> tracks;
};
