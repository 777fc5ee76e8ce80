// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/min_max_pyramid.h"
#include "recording/recording_summary.h"
#include "recording/recording_table.h"
#include "viewer/block_sums.h"
#include "viewer/time_span.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

// A recording as the viewer holds it: the table, and what drawing and the
// panels need worked out once per load rather than per paint (a pyramid and
// block sums per figure, the gaps, the engine runs, the summary).
class ViewedRecording {
public:
    // Nothing, with `error` set, when the file cannot be read or has no row.
    static std::unique_ptr<ViewedRecording> open(const QString &path, QString &error);
    // A table already read (from bytes that are no file); nothing when it
    // has no row.
    static std::unique_ptr<ViewedRecording> fromTable(RecordingTable table,
                                                      bool lastRowIncomplete);

    // Reads the rows a recording still being written has gained. True when
    // there were some; `error` set when the file no longer reads.
    bool readNewRows(QString &error);

    const QString &path() const { return filePath; }
    const RecordingTable &table() const { return rows; }
    const std::vector<float> &column(Figure figure) const { return rows.figures[int(figure)]; }
    bool lastRowIncomplete() const { return cutOff; }
    const std::vector<RowSpan> &runs() const { return engineRunSpans; }
    const RecordingSummary &summary() const { return facts; }

    // First to last row's seconds.
    TimeSpan span() const;
    // The rows whose seconds lie in [first, last): first to last - 1.
    RowSpan rowsBetween(double first, double last) const;
    // The rows from first to last seconds, both ends included.
    RowSpan rowsWithin(TimeSpan span) const;
    // The row nearest in time, nothing when that time falls in a gap
    // (between two rows more than gapSeconds apart).
    std::optional<size_t> rowNearest(double seconds) const;
    // Whether rows `row - 1` and `row` are drawn apart.
    bool gapBefore(size_t row) const;

    MinMaxPyramid::Range range(Figure figure, RowSpan span) const;
    // Readies range() and gapBefore() at a span's edge `row`, to be asked soon.
    void prefetch(Figure figure, size_t row) const;
    std::optional<double> mean(Figure figure, RowSpan span) const;

private:
    ViewedRecording() = default;
    void workOut(size_t firstNewRow);

    QString filePath;
    RecordingTable rows;
    bool cutOff = false;
    std::array<MinMaxPyramid, figureCount> pyramids;
    std::array<BlockSums, figureCount> sums;
    std::vector<RowSpan> engineRunSpans;
    RecordingSummary facts;
};
