// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/exceedance_detector.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool past(const Exceedance &e, double value)
{
    return e.side == LimitSide::High ? value > e.limit : value < e.limit;
}

bool further(const Exceedance &e, double value)
{
    return e.side == LimitSide::High ? value > e.peak : value < e.peak;
}

bool backInside(const Exceedance &e, double deadband, double value)
{
    return e.side == LimitSide::High ? value <= e.limit - deadband : value >= e.limit + deadband;
}

} // namespace

ExceedanceDetector::ExceedanceDetector(const EngineLimits &limits)
{
    for (const Figure figure : allFigures()) {
        const FigureLimits &figureLimits = limits.of(figure);
        Track &track = tracks[std::size_t(figure)];
        track.quietLow = -std::numeric_limits<double>::infinity();
        track.quietHigh = std::numeric_limits<double>::infinity();
        for (const LimitSide side : {LimitSide::Low, LimitSide::High}) {
            for (const LimitLevel level : {LimitLevel::Alarm, LimitLevel::Caution}) {
                const std::optional<Limit> &limit = figureLimits.limit(side, level);
                if (!limit)
                    continue;
                Watch watch;
                watch.limit = limit->value;
                watch.onDelay = limit->onDelaySeconds;
                watch.deadband = figureLimits.deadbandFor(figure);
                watch.current.figure = figure;
                watch.current.level = level;
                watch.current.side = side;
                watch.current.limit = limit->value;
                track.watches.push_back(watch);
                if (side == LimitSide::Low)
                    track.quietLow = std::max(track.quietLow, limit->value);
                else
                    track.quietHigh = std::min(track.quietHigh, limit->value);
            }
        }
    }
}

std::vector<ExceedanceChange> ExceedanceDetector::take(Figure figure, double seconds, double value)
{
    std::vector<ExceedanceChange> changes;
    take(figure, seconds, value, changes);
    return changes;
}

void ExceedanceDetector::take(Figure figure, double seconds, double value,
                              std::vector<ExceedanceChange> &changes)
{
    Track &track = tracks[std::size_t(figure)];
    if (track.watches.empty())
        return;
    passTime(track, seconds, changes);
    if (std::isnan(value)) {
        endGap(track, changes);
        return;
    }
    track.heard = true;
    track.lastSeconds = seconds;
    track.lastValue = value;
    if (track.busy == 0 && value >= track.quietLow && value <= track.quietHigh)
        return;
    for (Watch &watch : track.watches)
        step(track, watch, seconds, value, changes);
}

std::vector<ExceedanceChange> ExceedanceDetector::advance(double seconds)
{
    std::vector<ExceedanceChange> changes;
    for (Track &track : tracks)
        passTime(track, seconds, changes);
    return changes;
}

std::vector<ExceedanceChange> ExceedanceDetector::finish()
{
    std::vector<ExceedanceChange> changes;
    for (Track &track : tracks)
        endGap(track, changes);
    return changes;
}

std::vector<Exceedance> ExceedanceDetector::active() const
{
    std::vector<Exceedance> counted;
    for (const Track &track : tracks)
        for (const Watch &watch : track.watches)
            if (watch.state == Watch::State::Counted)
                counted.push_back(watch.current);
    return counted;
}

bool ExceedanceDetector::pending() const
{
    return std::any_of(tracks.begin(), tracks.end(), [](const Track &track) { return track.busy > 0; });
}

// The last value holds until the next one, but no longer than a gap allows:
// a candidate counts once its on-delay has run out within that hold.
void ExceedanceDetector::passTime(Track &track, double seconds, std::vector<ExceedanceChange> &changes)
{
    if (!track.heard)
        return;
    const double heldUntil = std::min(seconds, track.lastSeconds + longestGapSeconds);
    for (Watch &watch : track.watches) {
        if (track.busy == 0)
            break;
        if (watch.state == Watch::State::Candidate
            && watch.current.startSeconds + watch.onDelay <= heldUntil) {
            watch.state = Watch::State::Counted;
            changes.push_back({ExceedanceChange::Kind::Started, watch.current});
        }
    }
    if (seconds - track.lastSeconds > longestGapSeconds)
        endGap(track, changes);
}

void ExceedanceDetector::endGap(Track &track, std::vector<ExceedanceChange> &changes)
{
    for (Watch &watch : track.watches) {
        if (watch.state == Watch::State::Counted) {
            watch.current.endSeconds = track.lastSeconds;
            changes.push_back({ExceedanceChange::Kind::Ended, watch.current});
        }
        watch.state = Watch::State::Inside;
    }
    track.heard = false;
    track.busy = 0;
}

void ExceedanceDetector::step(Track &track, Watch &watch, double seconds, double value,
                              std::vector<ExceedanceChange> &changes)
{
    Exceedance &e = watch.current;
    switch (watch.state) {
    case Watch::State::Inside:
        if (!past(e, value))
            return;
        watch.state = Watch::State::Candidate;
        ++track.busy;
        e.startSeconds = seconds;
        e.endSeconds.reset();
        e.peak = value;
        e.peakSeconds = seconds;
        if (watch.onDelay <= 0) {
            watch.state = Watch::State::Counted;
            changes.push_back({ExceedanceChange::Kind::Started, e});
        }
        return;
    case Watch::State::Candidate:
        if (!past(e, value)) {
            watch.state = Watch::State::Inside;
            --track.busy;
            return;
        }
        if (further(e, value)) {
            e.peak = value;
            e.peakSeconds = seconds;
        }
        return;
    case Watch::State::Counted:
        if (further(e, value)) {
            e.peak = value;
            e.peakSeconds = seconds;
        }
        if (backInside(e, watch.deadband, value)) {
            watch.state = Watch::State::Inside;
            --track.busy;
            e.endSeconds = seconds;
            changes.push_back({ExceedanceChange::Kind::Ended, e});
        }
        return;
    }
}
