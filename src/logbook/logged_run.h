// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"
#include "recording/recording_summary.h"

#include <QDateTime>
#include <optional>
#include <vector>

struct RecordingTable;

// One engine run as the logbook lists it: what a pilot or mechanic compares
// from one run to the next.
struct LoggedRun {
    RowSpan rows;            // in the recording it came from
    QDateTime start;         // local time, with its UTC offset
    double startSeconds = 0; // since the recording began
    double durationSeconds = 0;
    std::optional<float> peakRpm;
    std::optional<float> peakAdvance;
    // The lowest bus volts while the starter turns the engine: from a few
    // seconds before the run until the engine first reaches running speed.
    std::optional<float> crankingVolts;
    std::optional<float> peakTemperature;
    int cautions = 0; // exceedances that began during the run, by level
    int alarms = 0;
    bool operator==(const LoggedRun &) const = default;
};

// Below this the engine is still being cranked, not running on its own.
inline constexpr float runningSpeedRpm = 500;
// How long before its first turn a run's cranking is taken to begin.
inline constexpr double crankingLeadSeconds = 5;

// Every run in a recording, in order, with its exceedances of `limits`.
std::vector<LoggedRun> loggedRuns(const RecordingTable &table, const EngineLimits &limits);
