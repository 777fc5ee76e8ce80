// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/trace_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

std::vector<size_t> pixelColumnRows(const std::vector<double> &seconds, TimeSpan view,
                                    int columns)
{
    std::vector<size_t> bounds;
    bounds.reserve(size_t(columns) + 1);
    auto from = seconds.begin();
    for (int i = 0; i < columns; ++i) {
        const double time = view.first + view.length() * i / columns;
        from = std::lower_bound(from, seconds.end(), time);
        bounds.push_back(size_t(from - seconds.begin()));
    }
    bounds.push_back(size_t(std::upper_bound(from, seconds.end(), view.last) - seconds.begin()));
    return bounds;
}

namespace {

// Builds the lines column by column, remembering the last row drawn.
class TraceBuilder {
public:
    TraceBuilder(const ViewedRecording &recording, Figure figure, const StripMapping &mapping,
                 int columns)
        : recording(recording), figure(figure), values(recording.column(figure)),
          seconds(recording.table().seconds), mapping(mapping),
          columnWidth(mapping.rect.width() / columns)
    {
    }

    void lineTo(size_t row)
    {
        if (previous != noRow && previous + 1 == row && joined(row))
            lines.emplace_back(point(previous), point(row));
        previous = row;
    }

    // A column of many rows: a line from their minimum to their maximum. A
    // row with nothing to join on either side: a dot.
    void spread(int column, RowSpan rows)
    {
        if (rows.last - rows.first == 1 && !isolated(rows.first))
            return;
        const MinMaxPyramid::Range range = recording.range(figure, rows);
        if (range.empty())
            return;
        const double x = mapping.rect.left() + (column + 0.5) * columnWidth;
        const double top = mapping.y(range.maximum);
        const double bottom = mapping.y(range.minimum);
        // A line of no length would draw nothing.
        if (bottom - top < 1)
            lines.emplace_back(x, (top + bottom) / 2 - 0.5, x, (top + bottom) / 2 + 0.5);
        else
            lines.emplace_back(x, top, x, bottom);
    }

    std::vector<QLineF> lines;

private:
    bool valid(size_t row) const { return !std::isnan(values[row]); }
    // Whether a line joins rows `row - 1` and `row`.
    bool joined(size_t row) const
    {
        return row > 0 && row < values.size() && valid(row - 1) && valid(row)
               && !recording.gapBefore(row);
    }
    bool isolated(size_t row) const { return !joined(row) && !joined(row + 1); }
    QPointF point(size_t row) const
    {
        return {mapping.x(seconds[row]), mapping.y(values[row])};
    }

    const ViewedRecording &recording;
    Figure figure;
    const std::vector<float> &values;
    const std::vector<double> &seconds;
    const StripMapping &mapping;
    double columnWidth;
    static constexpr size_t noRow = SIZE_MAX;
    size_t previous = noRow;
};

} // namespace

std::vector<QLineF> traceLines(const ViewedRecording &recording, Figure figure,
                               const StripMapping &mapping, const std::vector<size_t> &bounds)
{
    const int columns = int(bounds.size()) - 1;
    TraceBuilder trace(recording, figure, mapping, std::max(1, columns));
    trace.lines.reserve(size_t(columns) * 2);
    // The lines run in from the row before the view and out to the row after.
    if (bounds.front() > 0)
        trace.lineTo(bounds.front() - 1);
    for (int i = 0; i < columns; ++i) {
        const RowSpan rows{bounds[i], bounds[i + 1]};
        if (rows.first == rows.last)
            continue;
        trace.lineTo(rows.first);
        trace.spread(i, rows);
        trace.lineTo(rows.last - 1);
    }
    if (bounds.back() < recording.table().rows())
        trace.lineTo(bounds.back());
    return trace.lines;
}
