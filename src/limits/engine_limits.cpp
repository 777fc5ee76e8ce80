// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/engine_limits.h"

#include <utility>

namespace {

// The bus volts bar's colour bands (src/gauges/gauge_animation.cpp): orange
// below 8, green from 9 to 15, red above 15.
constexpr double voltsOrangeBelow = 8;
constexpr double voltsGreenFrom = 9;
constexpr double voltsRedAbove = 15;
// Cranking pulls the bus down for a few seconds at every start: that is no
// failing charge.
constexpr double lowVoltsOnDelaySeconds = 10;

constexpr double defaultDeadbandShare = 0.01;

} // namespace

const std::optional<Limit> &FigureLimits::limit(LimitSide side, LimitLevel level) const
{
    if (side == LimitSide::Low)
        return level == LimitLevel::Alarm ? lowAlarm : lowCaution;
    return level == LimitLevel::Alarm ? highAlarm : highCaution;
}

std::optional<Limit> &FigureLimits::limit(LimitSide side, LimitLevel level)
{
    return const_cast<std::optional<Limit> &>(std::as_const(*this).limit(side, level));
}

double FigureLimits::deadbandFor(Figure figure) const
{
    if (deadband)
        return *deadband;
    const FigureInfo &info = figureInfo(figure);
    return (info.gaugeMaximum - info.gaugeMinimum) * defaultDeadbandShare;
}

EngineLimits defaultLimits(std::optional<int> unitMaxRpm, std::optional<int> unitMaxAdvance)
{
    EngineLimits limits;
    // A Max RPM of 0 would alarm at any speed: it limits nothing a pilot can use.
    if (unitMaxRpm && *unitMaxRpm > 0)
        limits.of(Figure::Rpm).highAlarm = Limit{double(*unitMaxRpm)};
    if (unitMaxAdvance)
        limits.of(Figure::Advance).highAlarm = Limit{double(*unitMaxAdvance)};
    FigureLimits &volts = limits.of(Figure::Volts);
    volts.lowAlarm = Limit{voltsOrangeBelow, lowVoltsOnDelaySeconds};
    volts.lowCaution = Limit{voltsGreenFrom, lowVoltsOnDelaySeconds};
    volts.highAlarm = Limit{voltsRedAbove};
    return limits;
}
