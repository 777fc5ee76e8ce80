// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/exceedance_watch.h"

#include "core/unit_link.h"

#include <cmath>
#include <limits>

namespace {

// The detector reads NaN as an empty field.
constexpr double noValue = std::numeric_limits<double>::quiet_NaN();

// A setting the unit reported and that lies in its range.
std::optional<int> settingRead(const UnitState &unit, Setting setting)
{
    const SettingState &state = unit.setting(setting);
    if (!state.reported || state.outOfRange)
        return std::nullopt;
    return state.position;
}

EngineLimits unitDefaults(const UnitState &unit)
{
    const std::optional<int> maxRpmUnits = settingRead(unit, Setting::MaxRpm);
    const std::optional<int> maxAdvanceSteps = settingRead(unit, Setting::MaxAdvance);
    return defaultLimits(maxRpmUnits ? std::optional(*maxRpmUnits * 256) : std::nullopt,
                         maxAdvanceSteps ? std::optional(int(std::lround(*maxAdvanceSteps * 1.4)))
                                         : std::nullopt);
}

} // namespace

ExceedanceWatch::ExceedanceWatch(UnitLink &link, std::optional<EngineLimits> userLimits,
                                 QObject *parent)
    : QObject(parent), link(link), user(std::move(userLimits)), applied(limitsNow()),
      detector(applied), began(link.clock())
{
    delayTimer.setInterval(checkMs);
    connect(&delayTimer, &QTimer::timeout, this, &ExceedanceWatch::checkDelays);
    connect(&link, &UnitLink::lineDecoded, this, &ExceedanceWatch::handleLine);
    connect(&link, &UnitLink::phaseChanged, this, [this](LinkPhase phase) {
        if (phase == LinkPhase::Lost)
            connectionLost();
    });
    connect(&link, &UnitLink::settingChanged, this, [this](Setting setting) {
        if (setting == Setting::MaxRpm || setting == Setting::MaxAdvance)
            applyLimits();
    });
}

void ExceedanceWatch::setLimitsFile(std::optional<LimitsFile> limitsFile)
{
    file = std::move(limitsFile);
    applyLimits();
}

double ExceedanceWatch::nowSeconds() const
{
    return std::chrono::duration<double>(link.clock() - began).count();
}

void ExceedanceWatch::checkDelays()
{
    announce(detector.advance(nowSeconds()));
}

void ExceedanceWatch::handleLine(const DecodedLine &line)
{
    if (!takeRecordedFigures(values, line))
        return;
    const double seconds = nowSeconds();
    rowValues = values;
    for (const Figure figure : allFigures())
        announce(detector.take(figure, seconds, latest(figure).value_or(noValue)));
}

std::optional<double> ExceedanceWatch::latest(Figure figure) const
{
    return rowValues.has(figure) ? std::optional(double(rowValues[figure])) : std::nullopt;
}

// As the recorder does: the next connection may be another unit. What runs
// ends by the gap, at its last value.
void ExceedanceWatch::connectionLost()
{
    values = FigureValues{};
    rowValues = FigureValues{};
}

EngineLimits ExceedanceWatch::defaults() const
{
    return unitDefaults(link.state());
}

EngineLimits ExceedanceWatch::limitsNow() const
{
    if (user)
        return *user;
    const EngineLimits defaults = unitDefaults(link.state());
    return file ? file->over(defaults) : defaults;
}

// New limits start a new detector; what ran under the old ones ends at its
// last value.
void ExceedanceWatch::applyLimits()
{
    const EngineLimits now = limitsNow();
    if (now == applied)
        return;
    announce(detector.finish());
    applied = now;
    detector = ExceedanceDetector(applied);
}

void ExceedanceWatch::announce(const std::vector<ExceedanceChange> &changes)
{
    for (const ExceedanceChange &change : changes) {
        if (change.kind == ExceedanceChange::Kind::Started)
            emit exceedanceStarted(change.exceedance);
        else
            emit exceedanceEnded(change.exceedance);
    }
    // Rows come faster than the timer: restarting it would starve it.
    if (!detector.pending())
        delayTimer.stop();
    else if (!delayTimer.isActive())
        delayTimer.start();
}
