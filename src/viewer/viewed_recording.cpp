// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/viewed_recording.h"

#include <QFileInfo>

#include <algorithm>

std::unique_ptr<ViewedRecording> ViewedRecording::open(const QString &path, QString &error)
{
    RecordingTable table;
    const RecordingLoad load = loadRecording(path, table);
    if (!load.ok()) {
        error = load.error;
        return nullptr;
    }
    std::unique_ptr<ViewedRecording> recording = fromTable(std::move(table), load.lastRowIncomplete);
    if (!recording) {
        error = QStringLiteral("%1: no rows recorded yet").arg(QFileInfo(path).fileName());
        return nullptr;
    }
    recording->filePath = path;
    return recording;
}

std::unique_ptr<ViewedRecording> ViewedRecording::fromTable(RecordingTable table,
                                                            bool lastRowIncomplete)
{
    if (table.rows() == 0 || table.content != RowContent::Figures)
        return nullptr;
    std::unique_ptr<ViewedRecording> recording(new ViewedRecording);
    recording->rows = std::move(table);
    recording->cutOff = lastRowIncomplete;
    recording->workOut(0);
    return recording;
}

bool ViewedRecording::readNewRows(QString &error)
{
    const size_t before = rows.rows();
    const RecordingLoad load = loadNewRows(filePath, rows);
    if (!load.ok()) {
        error = load.error;
        return false;
    }
    cutOff = load.lastRowIncomplete;
    if (rows.rows() == before)
        return false;
    workOut(before);
    return true;
}

void ViewedRecording::workOut(size_t firstNewRow)
{
    for (int f = 0; f < figureCount; ++f) {
        if (firstNewRow == 0) {
            pyramids[f] = MinMaxPyramid(rows.figures[f]);
            sums[f] = BlockSums(rows.figures[f]);
        } else {
            pyramids[f].extend(rows.figures[f]);
            sums[f].extend(rows.figures[f]);
        }
    }
    engineRunSpans = engineRuns(rows);
    facts = summarize(rows);
}

TimeSpan ViewedRecording::span() const
{
    return {rows.seconds.front(), rows.seconds.back()};
}

RowSpan ViewedRecording::rowsBetween(double first, double last) const
{
    const auto &s = rows.seconds;
    const auto from = std::lower_bound(s.begin(), s.end(), first);
    const auto to = std::lower_bound(from, s.end(), last);
    return {size_t(from - s.begin()), size_t(to - s.begin())};
}

RowSpan ViewedRecording::rowsWithin(TimeSpan span) const
{
    const auto &s = rows.seconds;
    const auto from = std::lower_bound(s.begin(), s.end(), span.first);
    const auto to = std::upper_bound(from, s.end(), span.last);
    return {size_t(from - s.begin()), size_t(to - s.begin())};
}

std::optional<size_t> ViewedRecording::rowNearest(double seconds) const
{
    const auto &s = rows.seconds;
    const size_t after = size_t(std::lower_bound(s.begin(), s.end(), seconds) - s.begin());
    if (after == 0)
        return s.front() - seconds <= gapSeconds ? std::optional<size_t>(0) : std::nullopt;
    if (after == s.size())
        return seconds - s.back() <= gapSeconds ? std::optional<size_t>(after - 1) : std::nullopt;
    if (gapBefore(after))
        return std::nullopt;
    return seconds - s[after - 1] <= s[after] - seconds ? after - 1 : after;
}

bool ViewedRecording::gapBefore(size_t row) const
{
    return row > 0 && row < rows.rows() && rows.seconds[row] - rows.seconds[row - 1] > gapSeconds;
}

MinMaxPyramid::Range ViewedRecording::range(Figure figure, RowSpan span) const
{
    return pyramids[int(figure)].query(column(figure), span.first, span.last);
}

void ViewedRecording::prefetch(Figure figure, size_t row) const
{
    pyramids[int(figure)].prefetch(column(figure), row);
    if (row < rows.rows())
        __builtin_prefetch(rows.seconds.data() + row);
}

std::optional<double> ViewedRecording::mean(Figure figure, RowSpan span) const
{
    return sums[int(figure)].mean(column(figure), span.first, span.last);
}
