// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/recording.h"

#include <QByteArray>
#include <chrono>
#include <memory>
#include <optional>

inline constexpr double slowestReplaySpeed = 0.01;
inline constexpr double fastestReplaySpeed = 1000;

// Plays a recording on the simulator's clock: each telemetry line when its
// recorded time comes, `speed` times as fast, from the first telemetry line;
// then the last line again and again, `repeatEvery` apart, like a unit whose
// engine stopped changing. It plays from restart() on.
class ReplayPlayer {
public:
    using Nanos = std::chrono::nanoseconds;

    // A line due longer ago than this, with a later one due too, is passed
    // over: a replay faster than the line carries keeps to its timeline
    // rather than stretching it.
    static constexpr Nanos slack{100'000'000};

    ReplayPlayer(std::shared_ptr<const Recording> recording, double speed, Nanos repeatEvery);

    void restart(Nanos now);
    void stop() { playing = false; }
    bool isPlaying() const { return playing; }
    // The line to send at `now`, without its terminator, or nothing yet.
    // Call it when the line is free: what it returns counts as sent.
    std::optional<QByteArray> take(Nanos now);
    // When take() next has a line.
    Nanos nextAt() const;
    // The recording's latest "p" reply at `now`; empty before the first, or
    // when not playing.
    QByteArray propellerReply(Nanos now) const;

private:
    Nanos dueAt(Nanos recordedAt) const;

    std::shared_ptr<const Recording> recording;
    double speed;
    Nanos repeatEvery;
    Nanos origin;
    Nanos startedAt{0};
    Nanos lastSentAt{0};
    qsizetype next = 0;
    bool playing = false;
};
