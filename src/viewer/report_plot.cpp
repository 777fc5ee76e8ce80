// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/report_plot.h"

#include "recording/min_max_pyramid.h"
#include "recording/recording_summary.h"
#include "recording/recording_table.h"
#include "viewer/printed_page.h"
#include "viewer/time_span.h"
#include "viewer/time_ticks.h"
#include "viewer/trace_lines.h"
#include "viewer/value_text.h"
#include "viewer/viewer_look.h"

#include <QLineF>
#include <QPainter>
#include <cmath>
#include <optional>

namespace {

constexpr int mostTimeLabels = 7;
const QColor temperatureTrace(170, 40, 0);

// A round top for the strip's scale: 3000 for 2690 RPM, 100 for 88 deg C.
double roundedUp(double value)
{
    if (value <= 0)
        return 1;
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0})
        if (value <= step * decade)
            return step * decade;
    return 10 * decade;
}

struct Strip {
    Figure figure;
    QColor colour;
    QRectF rect;
};

class PlotPainter {
public:
    PlotPainter(QPainter &painter, const PageScale &s, const RecordingTable &table, TimeSpan span,
                TemperatureScale temperatureScale)
        : painter(painter), s(s), table(table), span(span), temperatureScale(temperatureScale)
    {
    }

    double x(const QRectF &rect, double seconds) const
    {
        return rect.left() + (seconds - span.first) * rect.width() / span.length();
    }

    void shadeRuns(const QRectF &rect, const std::vector<LoggedRun> &runs) const
    {
        for (const LoggedRun &run : runs) {
            const double left = x(rect, run.startSeconds);
            const double right = x(rect, run.startSeconds + run.durationSeconds);
            painter.fillRect(QRectF(left, rect.top(), std::max(right - left, s(0.5)), rect.height()),
                             ViewerLook::engineRun);
        }
    }

    void trace(const Strip &strip, const std::vector<size_t> &bounds) const
    {
        const std::vector<float> &values = table.figures[size_t(strip.figure)];
        const MinMaxPyramid pyramid(values);
        const MinMaxPyramid::Range whole = pyramid.query(values, 0, values.size());
        const QFont labelFont = s.font(7);
        drawPageText(painter, s.font(7.5, true), ViewerLook::navy,
                     strip.rect.adjusted(s(3), s(1), 0, 0),
                     figureCaption(strip.figure, temperatureScale),
                     Qt::AlignLeft | Qt::AlignTop);
        if (whole.empty()) {
            drawPageText(painter, labelFont, ViewerLook::scaleText, strip.rect,
                         QStringLiteral("none recorded"), Qt::AlignCenter);
            return;
        }
        // The scale is round in the shown units; the values stay as stored.
        const auto shown = [&](double value) {
            return shownFigureValue(strip.figure, value, temperatureScale);
        };
        const double low = std::min(0.0, shown(whole.minimum));
        const double high = roundedUp(shown(whole.maximum));
        const QRectF &rect = strip.rect;
        const auto y = [&](double value) {
            return rect.bottom() - (shown(value) - low) * rect.height() / (high - low);
        };
        const QRectF scaleBox(rect.left() - s(40), 0, s(37), s(10));
        drawPageText(painter, labelFont, ViewerLook::scaleText,
                     scaleBox.translated(0, rect.top() - s(1)), figureText(high),
                     Qt::AlignRight | Qt::AlignTop);
        drawPageText(painter, labelFont, ViewerLook::scaleText,
                     scaleBox.translated(0, rect.bottom() - s(9)), figureText(low),
                     Qt::AlignRight | Qt::AlignBottom);

        std::vector<QLineF> lines;
        const int columns = int(bounds.size()) - 1;
        const double columnWidth = rect.width() / columns;
        const double shortest = s(0.4);
        std::optional<size_t> previousLast; // of the column before, when it had rows
        double previousX = 0;
        for (int i = 0; i < columns; ++i) {
            const size_t first = bounds[size_t(i)];
            const size_t last = bounds[size_t(i) + 1];
            if (first == last)
                continue;
            const double columnX = rect.left() + (i + 0.5) * columnWidth;
            const MinMaxPyramid::Range range = pyramid.query(values, first, last);
            if (!range.empty()) {
                const double top = y(range.maximum);
                const double bottom = std::max(y(range.minimum), top + shortest);
                lines.emplace_back(columnX, top, columnX, bottom);
            }
            if (previousLast && *previousLast + 1 == first && joined(values, first))
                lines.emplace_back(previousX, y(values[*previousLast]), columnX, y(values[first]));
            previousLast = last - 1;
            previousX = columnX;
        }
        painter.setPen(QPen(strip.colour, s(0.6), Qt::SolidLine, Qt::RoundCap));
        painter.drawLines(lines.data(), int(lines.size()));
    }

    void frame(const QRectF &rect) const
    {
        painter.setPen(QPen(ViewerLook::stripEdge, s(0.5)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }

    void timeAxis(const QRectF &top, const QRectF &bottom) const
    {
        const TimeTicks ticks = timeTicks(span.length(), mostTimeLabels, TimeAxis::Clock);
        const double zero = tickZero(table.start, TimeAxis::Clock);
        const QFont labelFont = s.font(7);
        for (const double seconds : tickSeconds(span.first, span.last, ticks.step, zero)) {
            const double tickX = x(top, seconds);
            drawPageRule(painter, ViewerLook::grid, s(0.4), {tickX, top.top()},
                         {tickX, bottom.bottom()});
            drawPageRule(painter, ViewerLook::scaleText, s(0.5), {tickX, bottom.bottom()},
                         {tickX, bottom.bottom() + s(2)});
            drawPageText(painter, labelFont, ViewerLook::scaleText,
                         QRectF(tickX - s(30), bottom.bottom() + s(2), s(60), s(10)),
                         timeTickLabel(table.start, seconds, ticks, TimeAxis::Clock, false),
                         Qt::AlignHCenter | Qt::AlignTop);
        }
    }

private:
    // Rows `row - 1` and `row` both have a value and no gap between them.
    bool joined(const std::vector<float> &values, size_t row) const
    {
        return !std::isnan(values[row - 1]) && !std::isnan(values[row])
               && table.seconds[row] - table.seconds[row - 1] <= gapSeconds;
    }

    QPainter &painter;
    const PageScale &s;
    const RecordingTable &table;
    TimeSpan span;
    TemperatureScale temperatureScale;
};

} // namespace

void paintReportPlot(QPainter &painter, const PageScale &s, const QRectF &area,
                     const RecordingTable &table, const std::vector<LoggedRun> &runs,
                     TemperatureScale temperatureScale)
{
    if (table.rows() == 0)
        return;
    const TimeSpan span = viewableSpan({table.seconds.front(), table.seconds.back()});
    // Room at the left for the scales, below for the times.
    const QRectF plot = area.adjusted(s(42), 0, 0, -s(12));
    const qreal gap = s(6);
    const qreal rpmHeight = (plot.height() - gap) * 0.6;
    const Strip strips[] = {
        {Figure::Rpm, ViewerLook::trace, QRectF(plot.left(), plot.top(), plot.width(), rpmHeight)},
        {Figure::Temperature, temperatureTrace,
         QRectF(plot.left(), plot.top() + rpmHeight + gap, plot.width(),
                plot.height() - rpmHeight - gap)},
    };
    const int columns = std::max(1, int(std::lround(
                                        plot.width() / s(1) * reportPlotColumnsPerPoint)));
    const std::vector<size_t> bounds = pixelColumnRows(table.seconds, span, columns);

    painter.save();
    painter.setClipRect(area.adjusted(-s(1), -s(1), s(1), s(1)));
    PlotPainter plotter(painter, s, table, span, temperatureScale);
    for (const Strip &strip : strips)
        plotter.shadeRuns(strip.rect, runs);
    plotter.timeAxis(strips[0].rect, strips[1].rect);
    for (const Strip &strip : strips) {
        plotter.trace(strip, bounds);
        plotter.frame(strip.rect);
    }
    painter.restore();
}
