// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where a gauge's scale puts its labelled and minor ticks.
struct TickPlan {
    double step = 0.0;     // between labelled ticks; 0 means no ticks
    int minorPerMajor = 1; // minor intervals per major interval
    int decimals = 0;      // for the labels
};

// Chooses a readable labelled step: about `target` intervals, preferring a step
// that divides the span exactly (RPM 0..3600 -> 600, ADV 20..45 -> 5,
// 0..360 -> 30).
TickPlan planTicks(double low, double high, int target);

// A tick's label, with no "-0" from rounding.
QString tickLabel(double value, const TickPlan &plan);
