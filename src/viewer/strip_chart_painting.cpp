// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/strip_chart.h"

#include "gauges/tick_plan.h"
#include "viewer/cosmetic_pen.h"
#include "viewer/overlaid_recording.h"
#include "viewer/trace_lines.h"
#include "viewer/value_text.h"
#include "viewer/viewed_recording.h"
#include "viewer/viewer_look.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double stripGap = 5;
// Keeps a trace at the top or bottom of its range off the strip's edge.
constexpr double traceInset = 3;
constexpr double tickLength = 4;
constexpr double fitPadShare = 0.08;
// The second recording is drawn in columns this many pixels wide: a third of
// the lines of the first one's (two pixels still cost a frame too many).
constexpr int overlayColumnPixels = 3;

QFont scaleFont()
{
    return ViewerLook::font(7.5);
}

QFont captionFont()
{
    return ViewerLook::font(8.25, true);
}

// The values `plan` labels between low and high, counted in whole steps; a
// strip has room for far fewer than mostTimeTicks.
std::vector<double> scaleValues(double low, double high, const TickPlan &plan)
{
    std::vector<double> values;
    if (!(plan.step > 0))
        return values;
    const double slack = 1e-9 * plan.step;
    const double from = std::ceil((low - slack) / plan.step);
    for (int k = 0; k < mostTimeTicks && (from + k) * plan.step <= high + slack; ++k)
        values.push_back((from + k) * plan.step);
    return values;
}

} // namespace

StripChart::Margins StripChart::plotMargins()
{
    const double left =
        outerMargin + QFontMetricsF(scaleFont()).horizontalAdvance(QStringLiteral("-00000.0")) + 6;
    const double bottom = tickLength + 2 * QFontMetricsF(captionFont()).height() + outerMargin;
    return {left, bottom, QFontMetricsF(ViewerLook::font(8.25)).height()};
}

QRectF StripChart::plotArea() const
{
    const double bottom = margins.bottom + legendHeight();
    return QRectF(margins.left, outerMargin, width() - margins.left - outerMargin,
                  height() - outerMargin - bottom);
}

QRectF StripChart::stripRect(int strip) const
{
    const QRectF plot = plotArea();
    const double height = (plot.height() - stripGap * (figureCount - 1)) / figureCount;
    return QRectF(plot.left(), plot.top() + strip * (height + stripGap), plot.width(), height);
}

double StripChart::xOf(double seconds) const
{
    const QRectF plot = plotArea();
    return plot.left() + (seconds - view.first) * plot.width() / view.length();
}

double StripChart::secondsAt(double x) const
{
    const QRectF plot = plotArea();
    return view.first + (x - plot.left()) * view.length() / plot.width();
}

StripMapping StripChart::stripMapping(int strip) const
{
    const auto [low, high] = valueRange(strip);
    return {view, stripRect(strip).adjusted(0, traceInset, 0, -traceInset), low, high};
}

std::pair<double, double> StripChart::valueRange(int strip) const
{
    const FigureInfo &info = figureInfo(Figure(strip));
    if (!fitToData)
        return {info.gaugeMinimum, info.gaugeMaximum};
    // The rows just outside the view count too: the lines run to them.
    RowSpan rows = recording.rowsWithin(view);
    if (rows.first > 0 && !recording.gapBefore(rows.first))
        --rows.first;
    if (rows.last < recording.table().rows() && !recording.gapBefore(rows.last))
        ++rows.last;
    MinMaxPyramid::Range range = recording.range(Figure(strip), rows);
    if (overlay) {
        const MinMaxPyramid::Range second =
            overlay->recording().range(Figure(strip), overlay->rowsWithin(view));
        if (!second.empty())
            range = range.empty() ? second
                                  : MinMaxPyramid::Range{std::min(range.minimum, second.minimum),
                                                         std::max(range.maximum, second.maximum)};
    }
    if (range.empty())
        return {info.gaugeMinimum, info.gaugeMaximum};
    // A flat line sits in the middle of a strip one unit high.
    const double pad = std::max(double(range.maximum - range.minimum) * fitPadShare, 0.5);
    return {range.minimum - pad, range.maximum + pad};
}

void StripChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ViewerLook::white);
    paintRuns(painter);
    paintTimeAxis(painter);
    const int columns = std::max(1, int(plotArea().width()));
    const auto bounds = pixelColumnRows(recording.table().seconds, view, columns);
    const auto overlayBounds =
        overlay ? pixelColumnRows(overlay->recording().table().seconds, overlay->ownSpan(view),
                                  std::max(1, columns / overlayColumnPixels))
                : std::vector<size_t>();
    for (int strip = 0; strip < figureCount; ++strip)
        paintStrip(painter, strip, bounds, overlayBounds);
    paintLegend(painter);
    paintCursor(painter);
    paintOverlayCursor(painter);
    paintSelection(painter);
}

void StripChart::paintRuns(QPainter &painter) const
{
    const QRectF plot = plotArea();
    const auto &seconds = recording.table().seconds;
    const auto &runs = recording.runs();
    // Only the runs in view; several within a pixel make one band.
    auto run = std::partition_point(runs.begin(), runs.end(), [&](const RowSpan &r) {
        return seconds[r.last - 1] < view.first;
    });
    std::optional<QRectF> band;
    for (; run != runs.end() && seconds[run->first] <= view.last; ++run) {
        const double left = std::max(plot.left(), xOf(seconds[run->first]));
        const double end = xOf(seconds[run->last - 1]);
        const double right = std::min(plot.right(), std::max(left + 1, end));
        if (band && left <= band->right() + 1) {
            band->setRight(right);
            continue;
        }
        if (band)
            painter.fillRect(*band, ViewerLook::engineRun);
        band = QRectF(QPointF(left, plot.top()), QPointF(right, plot.bottom()));
    }
    if (band)
        painter.fillRect(*band, ViewerLook::engineRun);
}

void StripChart::paintTimeAxis(QPainter &painter) const
{
    const QRectF plot = plotArea();
    const QDateTime &start = recording.table().start;
    const QDateTime firstTime = start.addMSecs(std::llround(view.first * 1000));
    const QDateTime lastTime = start.addMSecs(std::llround(view.last * 1000));
    const bool withDate = axis == TimeAxis::Clock && firstTime.date() != lastTime.date();
    const QFontMetricsF metrics(scaleFont());
    // As many ticks as labels of the chosen step's width fit.
    auto fitting = [&](const TimeTicks &ticks) {
        const QString widest = timeTickLabel(start, view.last, ticks, axis, withDate);
        return std::max(1, int(plot.width() / (metrics.horizontalAdvance(widest) + 24)));
    };
    TimeTicks ticks = timeTicks(view.length(), fitting(timeTicks(view.length(), 8, axis)), axis);
    ticks = timeTicks(view.length(), fitting(ticks), axis);

    painter.setFont(scaleFont());
    const double labelTop = plot.bottom() + tickLength + 1;
    const double zero = tickZero(start, axis);
    for (const double seconds : tickSeconds(view.first, view.last, ticks.step, zero)) {
        const double x = xOf(seconds);
        fillStraightLine(painter, QPointF(x, plot.top()), QPointF(x, plot.bottom()),
                         ViewerLook::grid);
        fillStraightLine(painter, QPointF(x, plot.bottom()),
                         QPointF(x, plot.bottom() + tickLength), ViewerLook::scaleText);
        painter.setPen(ViewerLook::scaleText);
        const QString label = timeTickLabel(start, seconds, ticks, axis, withDate);
        const double labelWidth = metrics.horizontalAdvance(label);
        const double left = std::clamp(x - labelWidth / 2, plot.left() - outerMargin,
                                       plot.right() + outerMargin - labelWidth);
        painter.drawText(QRectF(left, labelTop, labelWidth, metrics.height()), Qt::AlignCenter,
                         label);
    }
    const QString caption = axis == TimeAxis::Seconds ? QStringLiteral("Seconds from the start")
                            : withDate ? QStringLiteral("Clock time")
                                       : QStringLiteral("Clock time, %1")
                                             .arg(firstTime.toString(QStringLiteral("yyyy-MM-dd")));
    painter.setFont(captionFont());
    painter.setPen(ViewerLook::navy);
    painter.drawText(QRectF(plot.left(), labelTop + metrics.height(), plot.width(),
                            QFontMetricsF(captionFont()).height()),
                     Qt::AlignCenter, caption);
}

void StripChart::paintStrip(QPainter &painter, int strip, const std::vector<size_t> &bounds,
                            const std::vector<size_t> &overlayBounds) const
{
    const QRectF frame = stripRect(strip);
    const StripMapping mapping = stripMapping(strip);
    const QFontMetricsF metrics(scaleFont());

    painter.setFont(scaleFont());
    // Round values in the units shown, placed where the stored value lies.
    const Figure figure = Figure(strip);
    const double shownLow = shownFigureValue(figure, mapping.low, temperatureScale);
    const double shownHigh = shownFigureValue(figure, mapping.high, temperatureScale);
    const int target = std::max(1, int(frame.height() / (metrics.height() * 1.6)));
    const TickPlan plan = planTicks(shownLow, shownHigh, target);
    for (const double value : scaleValues(shownLow, shownHigh, plan)) {
        const double y = mapping.y(storedFigureValue(figure, value, temperatureScale));
        fillStraightLine(painter, QPointF(frame.left(), y), QPointF(frame.right(), y),
                         ViewerLook::grid);
        painter.setPen(ViewerLook::scaleText);
        painter.drawText(QRectF(0, y - metrics.height() / 2, frame.left() - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, tickLabel(value, plan));
    }

    painter.save();
    painter.setClipRect(frame);
    paintExceedances(painter, strip, mapping);
    paintLimits(painter, strip, mapping);
    // Under the first recording's trace, which stays on top where they meet.
    if (overlay)
        paintOverlayTrace(painter, strip, mapping, overlayBounds);
    paintTrace(painter, traceShape(recording, Figure(strip), mapping, bounds), ViewerLook::trace);
    painter.restore();

    fillOutline(painter, frame, ViewerLook::stripEdge);

    const QString caption = figureCaption(figure, temperatureScale);
    painter.setFont(captionFont());
    const QFontMetricsF captionMetrics(captionFont());
    const QRectF captionBox(frame.left() + 1, frame.top() + 1,
                            captionMetrics.horizontalAdvance(caption) + 8,
                            captionMetrics.height() + 2);
    painter.fillRect(captionBox, QColor(255, 255, 255, 200));
    painter.setPen(ViewerLook::navy);
    painter.drawText(captionBox, Qt::AlignCenter, caption);
}

// At least a pixel wide, so a short exceedance in a long view still shows.
void StripChart::paintExceedances(QPainter &painter, int strip, const StripMapping &mapping) const
{
    const QRectF frame = stripRect(strip);
    for (const Exceedance &e : exceedances) {
        const double end = e.endSeconds.value_or(e.startSeconds);
        if (int(e.figure) != strip || end < view.first || e.startSeconds > view.last)
            continue;
        const double left = std::max(frame.left(), mapping.x(e.startSeconds));
        const double right = std::min(frame.right(), std::max(left + 1, mapping.x(end)));
        painter.fillRect(QRectF(left, frame.top(), right - left, frame.height()),
                         e.level == LimitLevel::Alarm ? ViewerLook::alarmShade
                                                      : ViewerLook::cautionShade);
    }
}

void StripChart::paintLimits(QPainter &painter, int strip, const StripMapping &mapping) const
{
    const FigureLimits &figure = limits.of(Figure(strip));
    const QRectF frame = stripRect(strip);
    for (const LimitSide side : {LimitSide::Low, LimitSide::High}) {
        for (const LimitLevel level : {LimitLevel::Caution, LimitLevel::Alarm}) {
            const std::optional<Limit> &limit = figure.limit(side, level);
            if (!limit)
                continue;
            const double y = mapping.y(limit->value);
            // Solid and faint: a dashed line costs more to draw than the trace.
            fillStraightLine(painter, QPointF(frame.left(), y), QPointF(frame.right(), y),
                             level == LimitLevel::Alarm ? ViewerLook::alarmLimit
                                                        : ViewerLook::cautionLimit);
        }
    }
}

void StripChart::paintCursor(QPainter &painter) const
{
    if (!cursor || *cursor < view.first || *cursor > view.last)
        return;
    const QRectF plot = plotArea();
    const double x = xOf(*cursor);
    fillStraightLine(painter, QPointF(x, plot.top()), QPointF(x, plot.bottom()),
                     ViewerLook::cursor);
    const std::optional<size_t> row = recording.rowNearest(*cursor);
    if (!row)
        return;
    // A dot on each strip's trace at the row the read-out shows.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(cosmeticPen(painter, ViewerLook::cursor));
    painter.setBrush(ViewerLook::cursor);
    for (int strip = 0; strip < figureCount; ++strip) {
        const float value = recording.column(Figure(strip))[*row];
        if (std::isnan(value))
            continue;
        const StripMapping mapping = stripMapping(strip);
        const QPointF at(mapping.x(recording.table().seconds[*row]), mapping.y(value));
        if (stripRect(strip).contains(at))
            painter.drawEllipse(at, 2.5, 2.5);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void StripChart::paintSelection(QPainter &painter) const
{
    if (drag != Drag::Select)
        return;
    const QRectF plot = plotArea();
    const double left = std::clamp(std::min(dragFromX, dragToX), plot.left(), plot.right());
    const double right = std::clamp(std::max(dragFromX, dragToX), plot.left(), plot.right());
    const QRectF band(QPointF(left, plot.top()), QPointF(right, plot.bottom()));
    painter.fillRect(band, ViewerLook::selection);
    fillOutline(painter, band, ViewerLook::selectionEdge);
}
