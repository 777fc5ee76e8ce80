// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/trace_lines.h"

#include "viewer/cosmetic_pen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// The first row at or after `time`, from `from` on: galloping out from `from`
// keeps the search among rows near it, so a column's search reads memory its
// neighbour's just read instead of jumping across the whole recording.
std::vector<double>::const_iterator firstRowFrom(std::vector<double>::const_iterator from,
                                                 std::vector<double>::const_iterator end,
                                                 double time)
{
    size_t step = 1;
    while (size_t(end - from) > step && from[step] < time) {
        from += step;
        step *= 2;
    }
    return std::lower_bound(from, from + std::min(step + 1, size_t(end - from)), time);
}

} // namespace

std::vector<size_t> pixelColumnRows(const std::vector<double> &seconds, TimeSpan view,
                                    int columns)
{
    std::vector<size_t> bounds;
    bounds.reserve(size_t(columns) + 1);
    auto from = std::lower_bound(seconds.begin(), seconds.end(), view.first);
    for (int i = 0; i < columns; ++i) {
        const double time = view.first + view.length() * i / columns;
        from = firstRowFrom(from, seconds.end(), time);
        bounds.push_back(size_t(from - seconds.begin()));
    }
    bounds.push_back(size_t(std::upper_bound(from, seconds.end(), view.last) - seconds.begin()));
    return bounds;
}

namespace {

// Far enough ahead for memory to answer before the column is reached.
constexpr int prefetchColumnsAhead = 4;

// Builds the trace column by column, remembering the last row drawn.
class TraceBuilder {
public:
    TraceBuilder(const ViewedRecording &recording, Figure figure, const StripMapping &mapping,
                 int columns)
        : recording(recording), figure(figure), values(recording.column(figure)),
          seconds(recording.table().seconds), mapping(mapping),
          columnWidth(mapping.rect.width() / columns)
    {
    }

    void lineTo(size_t row, int column)
    {
        if (joinsPrevious(row))
            shape.lines.emplace_back(point(previous), point(row));
        previous = row;
        previousColumn = column;
    }

    // A column of many rows, or a row on its own: a span over their values.
    // Where columns are a pixel wide they touch, and a span reaching to the
    // row before in the column beside it joins the two without a line.
    void column(int column, RowSpan rows)
    {
        if (rows.last - rows.first == 1 && !isolated(rows.first)) {
            lineTo(rows.first, column);
            return;
        }
        MinMaxPyramid::Range range = recording.range(figure, rows);
        if (joinsPrevious(rows.first)) {
            if (touching() && previousColumn + 1 == column) {
                range.minimum = std::min(range.minimum, values[previous]);
                range.maximum = std::max(range.maximum, values[previous]);
            } else {
                shape.lines.emplace_back(point(previous), point(rows.first));
            }
        }
        previous = rows.last - 1;
        previousColumn = column;
        if (range.empty())
            return;
        const double top = mapping.y(range.maximum);
        const double bottom = mapping.y(range.minimum);
        const double left = mapping.rect.left() + column * columnWidth;
        // Half a pixel beyond each end covers the pixels a line would.
        shape.spans.emplace_back(touching() ? left : left + columnWidth / 2 - 0.5, top - 0.5,
                                 touching() ? columnWidth : 1, bottom - top + 1);
    }

    TraceShape shape;

private:
    bool valid(size_t row) const { return !std::isnan(values[row]); }
    // Whether a line joins rows `row - 1` and `row`.
    bool joined(size_t row) const
    {
        return row > 0 && row < values.size() && valid(row - 1) && valid(row)
               && !recording.gapBefore(row);
    }
    bool isolated(size_t row) const { return !joined(row) && !joined(row + 1); }
    bool joinsPrevious(size_t row) const
    {
        return previous != noRow && previous + 1 == row && joined(row);
    }
    bool touching() const { return columnWidth < 1.5; }
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
    int previousColumn = -1;
};

} // namespace

TraceShape traceShape(const ViewedRecording &recording, Figure figure, const StripMapping &mapping,
                      const std::vector<size_t> &bounds)
{
    const int columns = int(bounds.size()) - 1;
    TraceBuilder trace(recording, figure, mapping, std::max(1, columns));
    trace.shape.spans.reserve(size_t(columns));
    // The lines run in from the row before the view and out to the row after.
    if (bounds.front() > 0)
        trace.lineTo(bounds.front() - 1, -1);
    for (int i = 0; i < columns; ++i) {
        recording.prefetch(figure, bounds[std::min(i + prefetchColumnsAhead, columns)]);
        const RowSpan rows{bounds[i], bounds[i + 1]};
        if (rows.first == rows.last)
            continue;
        trace.column(i, rows);
    }
    if (bounds.back() < recording.table().rows())
        trace.lineTo(bounds.back(), columns);
    return std::move(trace.shape);
}

void paintTrace(QPainter &painter, const TraceShape &shape, const QColor &colour)
{
    painter.setPen(cosmeticPen(painter, colour));
    painter.drawLines(shape.lines.data(), int(shape.lines.size()));
    for (const QRectF &span : shape.spans)
        painter.fillRect(span, colour);
}
