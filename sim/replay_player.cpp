// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/replay_player.h"

#include <algorithm>
#include <cmath>

namespace {

// Recorded times stay below 1e7 s, so a scaled time fits in nanoseconds.
double validSpeed(double speed)
{
    return std::isfinite(speed) ? std::clamp(speed, slowestReplaySpeed, fastestReplaySpeed) : 1;
}

} // namespace

ReplayPlayer::ReplayPlayer(std::shared_ptr<const Recording> recording, double speed,
                           Nanos repeatEvery)
    : recording(std::move(recording)),
      speed(validSpeed(speed)),
      repeatEvery(repeatEvery),
      origin(this->recording->telemetry.at(0))
{
}

void ReplayPlayer::restart(Nanos now)
{
    startedAt = now;
    next = 0;
    playing = true;
}

std::optional<QByteArray> ReplayPlayer::take(Nanos now)
{
    const TimedLines &lines = recording->telemetry;
    if (now < nextAt())
        return std::nullopt;
    lastSentAt = now;
    if (next == lines.size())
        return lines.line(next - 1).toByteArray();
    while (next + 1 < lines.size() && now - dueAt(lines.at(next + 1)) > slack)
        ++next;
    return lines.line(next++).toByteArray();
}

ReplayPlayer::Nanos ReplayPlayer::nextAt() const
{
    const TimedLines &lines = recording->telemetry;
    return next < lines.size() ? dueAt(lines.at(next)) : lastSentAt + repeatEvery;
}

QByteArray ReplayPlayer::propellerReply(Nanos now) const
{
    if (!playing)
        return {};
    // Clamped, so that days of running at full speed cannot overflow.
    const double played = std::min(double((now - startedAt).count()) * speed, 1e18);
    const TimedLines &replies = recording->propeller;
    const qsizetype last = replies.lastAtOrBefore(origin + Nanos(std::llround(played)));
    return last < 0 ? QByteArray() : replies.line(last).toByteArray();
}

ReplayPlayer::Nanos ReplayPlayer::dueAt(Nanos recordedAt) const
{
    return startedAt + Nanos(std::llround(double((recordedAt - origin).count()) / speed));
}
