// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recording_summary.h"

#include <algorithm>

namespace {

constexpr float runningRpm = 50;

const std::vector<float> &column(const RecordingTable &table, Figure figure)
{
    return table.figures[size_t(figure)];
}

bool gapBefore(const RecordingTable &table, size_t row)
{
    return row > 0 && table.seconds[row] - table.seconds[row - 1] > gapSeconds;
}

} // namespace

Extremes extremes(const std::vector<float> &values, size_t first, size_t last)
{
    Extremes found;
    last = std::min(last, values.size());
    for (size_t i = first; i < last; ++i) {
        const float value = values[i];
        if (value != value) // NaN: an empty field
            continue;
        found.minimum = std::min(found.minimum.value_or(value), value);
        found.maximum = std::max(found.maximum.value_or(value), value);
    }
    return found;
}

std::vector<RowSpan> engineRuns(const RecordingTable &table)
{
    std::vector<RowSpan> runs;
    const std::vector<float> &rpm = column(table, Figure::Rpm);
    const size_t rows = std::min(table.rows(), rpm.size());
    bool running = false;
    for (size_t row = 0; row < rows; ++row) {
        const bool engineOn = rpm[row] >= runningRpm; // false for NaN
        if (running && (!engineOn || gapBefore(table, row))) {
            runs.back().last = row;
            running = false;
        }
        if (engineOn && !running) {
            runs.push_back({row, row});
            running = true;
        }
    }
    if (running)
        runs.back().last = rows;
    return runs;
}

std::vector<size_t> gapStarts(const RecordingTable &table)
{
    std::vector<size_t> starts;
    for (size_t row = 1; row < table.rows(); ++row)
        if (gapBefore(table, row))
            starts.push_back(row);
    return starts;
}

RecordingSummary summarize(const RecordingTable &table)
{
    RecordingSummary summary;
    summary.rows = table.rows();
    if (summary.rows == 0)
        return summary;
    summary.durationSeconds = table.seconds.back() - table.seconds.front();
    const std::vector<float> &rpm = column(table, Figure::Rpm);
    for (const RowSpan &span : engineRuns(table))
        summary.runs.push_back({span, table.seconds[span.last - 1] - table.seconds[span.first],
                                *extremes(rpm, span.first, span.last).maximum});
    const auto whole = [&](Figure figure) {
        return extremes(column(table, figure), 0, column(table, figure).size());
    };
    summary.maximumAdvance = whole(Figure::Advance).maximum;
    const Extremes volts = whole(Figure::Volts);
    summary.minimumVolts = volts.minimum;
    summary.maximumVolts = volts.maximum;
    summary.maximumTemperature = whole(Figure::Temperature).maximum;
    return summary;
}
