// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// The time axis's labelled ticks: steps people count in, and labels with just
// the digits the step needs.

enum class TimeAxis {
    // Local time of day: steps of 1, 2, 5 ms ... 10, 20, 30 s; 1, 2, 5, 10,
    // 15, 30 min; 1, 2, 3, 6, 12 h; 1, 2, 5 ... days.
    Clock,
    // Seconds since the file began: steps of 1, 2, 5 x 10^n.
    Seconds,
};

struct TimeTicks {
    double step = 1;  // seconds between labelled ticks
    int decimals = 0; // digits of a second's fraction the labels show
};

// The smallest step that puts at most `most` ticks across `spanSeconds`.
TimeTicks timeTicks(double spanSeconds, int most, TimeAxis axis);

// Where ticks counted from: the midnight before the start (as seconds since
// the start, so not above 0) for clock time, so that they fall on round clock
// times; the start for seconds.
double tickZero(const QDateTime &start, TimeAxis axis);

// Far more ticks than any axis can label.
inline constexpr int mostTimeTicks = 1000;

// Whole steps counted from `zero`, from first to last; at most mostTimeTicks,
// whatever the span.
std::vector<double> tickSeconds(double first, double last, double step, double zero);

// The label of the tick `seconds` after the start. Clock time: "14:03:22.25",
// "14:05" for steps of whole minutes, with "2026-12-07 " before it when asked.
// Seconds: "125.25".
QString timeTickLabel(const QDateTime &start, double seconds, const TimeTicks &ticks,
                      TimeAxis axis, bool withDate);
