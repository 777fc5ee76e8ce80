// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/run_trend_strip.h"

#include "viewer/value_text.h"
#include "viewer/viewer_look.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor outlierColour(220, 0, 0);
const QColor selectedColour(255, 128, 0);
constexpr double dotRadius = 3;
constexpr double outlierRadius = 5.5;
constexpr double selectedRadius = 9;
constexpr double clickReach = 10; // pixels either side of a dot
constexpr int valueTicks = 4;

// 1, 2 or 5 times a power of ten, about span / count.
double roundStep(double span, int count)
{
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double multiple : {1.0, 2.0, 5.0})
        if (multiple * magnitude >= raw)
            return multiple * magnitude;
    return 10 * magnitude;
}

} // namespace

RunTrendStrip::RunTrendStrip(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(ViewerLook::font(8));
}

void RunTrendStrip::setSeries(TrendSeries series)
{
    shown = std::move(series);
    standsOut.assign(shown.points.size(), false);
    for (const TrendOutlier &outlier : shown.outliers)
        if (outlier.index < standsOut.size())
            standsOut[outlier.index] = true;
    selected.reset();

    double lowest = 0;
    double highest = 0;
    if (!shown.points.empty()) {
        const auto [low, high] = std::minmax_element(
            shown.points.begin(), shown.points.end(),
            [](const TrendPoint &a, const TrendPoint &b) { return a.value < b.value; });
        lowest = low->value;
        highest = high->value;
    }
    const double span = std::max(highest - lowest, std::max(1.0, std::abs(highest) * 0.02));
    scale.step = roundStep(span, valueTicks);
    scale.lowest = std::floor((lowest - span * 0.05) / scale.step) * scale.step;
    scale.highest = std::ceil((highest + span * 0.05) / scale.step) * scale.step;
    update();
}

void RunTrendStrip::setSelectedPoint(std::optional<size_t> index)
{
    if (index && *index >= shown.points.size())
        index.reset();
    if (index == selected)
        return;
    selected = index;
    update();
}

QRectF RunTrendStrip::plotArea() const
{
    const QFontMetricsF metrics(font());
    const double left = metrics.horizontalAdvance(QStringLiteral("000000")) + 10;
    const double top = metrics.height() + 8;
    const double bottom = metrics.height() + 8;
    return QRectF(left, top, width() - left - 12, height() - top - bottom);
}

QPointF RunTrendStrip::pointPosition(size_t index) const
{
    const QRectF area = plotArea();
    const double slot = area.width() / double(std::max<size_t>(shown.points.size(), 1));
    return {area.left() + slot * (double(index) + 0.5), yOf(shown.points[index].value)};
}

double RunTrendStrip::yOf(double value) const
{
    const QRectF area = plotArea();
    return area.bottom() - (value - scale.lowest) / (scale.highest - scale.lowest) * area.height();
}

void RunTrendStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ViewerLook::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const QString unit = trendUnit(shown.figure, shown.scale);
    const QString caption = trendFigureName(shown.figure)
                            + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit))
                            + QStringLiteral(", run after run");
    painter.setPen(ViewerLook::navy);
    painter.setFont(ViewerLook::font(8, true));
    painter.drawText(QPointF(plotArea().left(), QFontMetricsF(painter.font()).ascent() + 2), caption);
    painter.setFont(font());
    if (shown.points.empty()) {
        painter.drawText(plotArea(), Qt::AlignCenter, QStringLiteral("No run has this figure"));
        return;
    }
    paintValueAxis(painter);
    paintRunAxis(painter);
    paintPoints(painter);
    paintLegend(painter);
}

void RunTrendStrip::paintValueAxis(QPainter &painter) const
{
    const QRectF area = plotArea();
    const QFontMetricsF metrics(painter.font());
    for (double value = scale.lowest; value <= scale.highest + scale.step / 2; value += scale.step) {
        const double y = yOf(value);
        painter.setPen(ViewerLook::grid);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(ViewerLook::scaleText);
        const QRectF label(0, y - metrics.height() / 2, area.left() - 6, metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, figureText(value));
    }
    painter.setPen(ViewerLook::stripEdge);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
}

// A date under a run wherever one fits, the first run's always.
void RunTrendStrip::paintRunAxis(QPainter &painter) const
{
    const QRectF area = plotArea();
    const QFontMetricsF metrics(painter.font());
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) + 16;
    double freeFrom = area.left() - labelWidth;
    painter.setPen(ViewerLook::scaleText);
    for (size_t i = 0; i < shown.points.size(); ++i) {
        const double x = pointPosition(i).x();
        if (x - labelWidth / 2 < freeFrom || x + labelWidth / 2 > width())
            continue;
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 3));
        const QRectF label(x - labelWidth / 2, area.bottom() + 3, labelWidth, metrics.height());
        painter.drawText(label, Qt::AlignCenter,
                         shown.points[i].start.toString(QStringLiteral("yyyy-MM-dd")));
        freeFrom = x + labelWidth / 2;
    }
}

void RunTrendStrip::paintPoints(QPainter &painter) const
{
    QPainterPath line;
    line.moveTo(pointPosition(0));
    for (size_t i = 1; i < shown.points.size(); ++i)
        line.lineTo(pointPosition(i));
    painter.setPen(QPen(ViewerLook::trace, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(line);

    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < shown.points.size(); ++i) {
        const bool outlier = standsOut[i];
        painter.setBrush(outlier ? outlierColour : ViewerLook::trace);
        const double radius = outlier ? outlierRadius : dotRadius;
        painter.drawEllipse(pointPosition(i), radius, radius);
    }
    if (selected) {
        painter.setPen(QPen(selectedColour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(pointPosition(*selected), selectedRadius, selectedRadius);
    }
}

void RunTrendStrip::paintLegend(QPainter &painter) const
{
    if (shown.outliers.empty())
        return;
    const QString text = QStringLiteral("stands out from the runs before it");
    const QFontMetricsF metrics(painter.font());
    const double textLeft = plotArea().right() - metrics.horizontalAdvance(text);
    const double baseline = metrics.ascent() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(outlierColour);
    painter.drawEllipse(QPointF(textLeft - 10, baseline - metrics.ascent() / 2 + 1), outlierRadius,
                        outlierRadius);
    painter.setPen(ViewerLook::navy);
    painter.drawText(QPointF(textLeft, baseline), text);
}

void RunTrendStrip::mousePressEvent(QMouseEvent *event)
{
    if (shown.points.empty() || event->button() != Qt::LeftButton)
        return;
    const double x = event->position().x();
    std::optional<size_t> nearest;
    double nearestDistance = clickReach;
    for (size_t i = 0; i < shown.points.size(); ++i) {
        const double distance = std::abs(pointPosition(i).x() - x);
        if (distance <= nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    if (nearest)
        emit pointClicked(*nearest);
}
