// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/strip_chart.h"

#include "viewer/cosmetic_pen.h"
#include "viewer/overlaid_recording.h"
#include "viewer/trace_lines.h"
#include "viewer/viewer_look.h"

#include <QFileInfo>
#include <QFontMetricsF>

#include <cmath>

namespace {

constexpr double legendGap = 4;
constexpr double legendSampleLength = 24;
constexpr double legendSpacing = 24;

// As tall as StripChart::plotMargins takes it.
QFont legendFont()
{
    return ViewerLook::font(8.25);
}

QString alignmentWords(const OverlaidRecording &overlay)
{
    if (overlay.alignment() == OverlayAlignment::ClockTime)
        return QStringLiteral("aligned by clock time");
    if (overlay.offset().fellBackToFirstRows)
        return QStringLiteral("aligned by first rows: a recording has no engine run");
    return QStringLiteral("aligned by engine start");
}

} // namespace

double StripChart::legendHeight() const
{
    return overlay ? margins.legendLine + legendGap : 0;
}

void StripChart::paintOverlayTrace(QPainter &painter, int strip, const StripMapping &mapping,
                                   const std::vector<size_t> &bounds) const
{
    const StripMapping moved{overlay->ownSpan(view), mapping.rect, mapping.low, mapping.high};
    paintTrace(painter, traceShape(overlay->recording(), Figure(strip), moved, bounds),
               ViewerLook::overlayTrace);
}

// A ring, where the first recording has a dot.
void StripChart::paintOverlayCursor(QPainter &painter) const
{
    if (!overlay || !cursor || *cursor < view.first || *cursor > view.last)
        return;
    const std::optional<size_t> row = overlay->rowNearest(*cursor);
    if (!row)
        return;
    const ViewedRecording &second = overlay->recording();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ViewerLook::cursor, 1.2));
    painter.setBrush(Qt::NoBrush);
    for (int strip = 0; strip < figureCount; ++strip) {
        const float value = second.column(Figure(strip))[*row];
        if (std::isnan(value))
            continue;
        const StripMapping mapping = stripMapping(strip);
        const QPointF at(mapping.x(second.table().seconds[*row] + overlay->offset().seconds),
                         mapping.y(value));
        if (stripRect(strip).contains(at))
            painter.drawEllipse(at, 3, 3);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// Under the time axis, each file's name beside a stroke of its colour.
void StripChart::paintLegend(QPainter &painter) const
{
    if (!overlay)
        return;
    const QFontMetricsF metrics(legendFont());
    const double top = height() - outerMargin - metrics.height();
    const double middle = top + metrics.height() / 2;
    double x = plotArea().left();
    painter.setFont(legendFont());
    const auto entry = [&](const QColor &colour, const QString &text) {
        painter.setPen(QPen(colour, 2));
        painter.drawLine(QPointF(x, middle), QPointF(x + legendSampleLength, middle));
        x += legendSampleLength + 6;
        painter.setPen(ViewerLook::navy);
        const double width = metrics.horizontalAdvance(text);
        painter.drawText(QRectF(x, top, width + 1, metrics.height()), Qt::AlignLeft, text);
        x += width + legendSpacing;
    };
    entry(ViewerLook::trace, QFileInfo(recording.path()).fileName());
    entry(ViewerLook::overlayTrace, QStringLiteral("%1 (%2)").arg(
                                        QFileInfo(overlay->recording().path()).fileName(),
                                        alignmentWords(*overlay)));
}
