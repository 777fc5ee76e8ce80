// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/recording_table.h"

#include <optional>
#include <vector>

// What the viewer tells about a recording at a glance.

// Rows first to last - 1 (indices into the table).
struct RowSpan {
    size_t first = 0;
    size_t last = 0;
    bool operator==(const RowSpan &) const = default;
};

// Engine at 50 RPM or more, row after row without a gap.
std::vector<RowSpan> engineRuns(const RecordingTable &table);
// Rows whose time differs from the previous one's by more than this are
// drawn apart: the unit was silent or the link lost.
inline constexpr double gapSeconds = 1.0;
// The row indices that start a new stretch after a gap (never 0).
std::vector<size_t> gapStarts(const RecordingTable &table);

struct Extremes {
    std::optional<float> minimum;
    std::optional<float> maximum;
};
// Over rows first to last - 1 of one figure's column, empty fields left out.
Extremes extremes(const std::vector<float> &values, size_t first, size_t last);

struct RunSummary {
    RowSpan rows;
    double seconds = 0;
    float maximumRpm = 0;
};

struct RecordingSummary {
    double durationSeconds = 0;
    size_t rows = 0;
    std::vector<RunSummary> runs;
    std::optional<float> maximumAdvance;
    std::optional<float> minimumVolts;
    std::optional<float> maximumVolts;
    std::optional<float> maximumTemperature;
};
RecordingSummary summarize(const RecordingTable &table);
