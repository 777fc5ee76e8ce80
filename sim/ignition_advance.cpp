// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ignition_advance.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int firingRpm = 50;
constexpr int startingSteps = 7; // about 10 degrees
constexpr double curveStartRpm = 300;
constexpr double curveFullRpm = 2500;

} // namespace

int automaticAdvance(int rpm, const UnitSettings &settings)
{
    if (rpm < firingRpm)
        return 0;
    const int top = settings.maxAdvanceSteps;
    const int bottom = std::min(startingSteps, top);
    const double fraction
        = std::clamp((rpm - curveStartRpm) / (curveFullRpm - curveStartRpm), 0.0, 1.0);
    const int base = int(std::lround(bottom + (top - bottom) * fraction));
    return std::max(0, base + settings.advanceShift);
}
