// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logged_run.h"

#include "limits/recording_exceedances.h"
#include "recording/recording_table.h"

#include <algorithm>

namespace {

const std::vector<float> &column(const RecordingTable &table, Figure figure)
{
    return table.figures[size_t(figure)];
}

// The first row of the run at running speed, or its end if it never got
// there (a start that failed).
size_t firstRunningRow(const RecordingTable &table, const RowSpan &run)
{
    const std::vector<float> &rpm = column(table, Figure::Rpm);
    for (size_t row = run.first; row < run.last; ++row)
        if (rpm[row] >= runningSpeedRpm)
            return row;
    return run.last;
}

// The starter draws the battery down before the unit sees the engine turn:
// the lead-in counts, but never reaches back into an earlier run.
size_t crankingStart(const RecordingTable &table, const RowSpan &run, size_t earliest)
{
    const double from = table.seconds[run.first] - crankingLeadSeconds;
    size_t row = run.first;
    while (row > earliest && table.seconds[row - 1] >= from)
        --row;
    return row;
}

void countExceedances(LoggedRun &run, const std::vector<Exceedance> &found, double fromSeconds,
                      double toSeconds)
{
    for (const Exceedance &exceedance : found) {
        if (exceedance.startSeconds < fromSeconds || exceedance.startSeconds > toSeconds)
            continue;
        ++(exceedance.level == LimitLevel::Alarm ? run.alarms : run.cautions);
    }
}

} // namespace

std::vector<LoggedRun> loggedRuns(const RecordingTable &table, const EngineLimits &limits)
{
    std::vector<LoggedRun> runs;
    const std::vector<RowSpan> spans = engineRuns(table);
    if (spans.empty())
        return runs;
    const std::vector<Exceedance> found = exceedancesIn(table, limits);
    size_t previousEnd = 0;
    for (const RowSpan &span : spans) {
        LoggedRun run;
        run.rows = span;
        run.startSeconds = table.seconds[span.first];
        const double endSeconds = table.seconds[span.last - 1];
        run.durationSeconds = endSeconds - run.startSeconds;
        run.start = table.start.addMSecs(qint64(run.startSeconds * 1000));
        run.peakRpm = extremes(column(table, Figure::Rpm), span.first, span.last).maximum;
        run.peakAdvance = extremes(column(table, Figure::Advance), span.first, span.last).maximum;
        run.peakTemperature =
            extremes(column(table, Figure::Temperature), span.first, span.last).maximum;
        const size_t cranking = crankingStart(table, span, previousEnd);
        const size_t running = std::min(firstRunningRow(table, span) + 1, span.last);
        run.crankingVolts = extremes(column(table, Figure::Volts), cranking, running).minimum;
        // Low volts in the cranking lead-in belong to the run.
        countExceedances(run, found, table.seconds[cranking], endSeconds);
        runs.push_back(run);
        previousEnd = span.last;
    }
    return runs;
}
