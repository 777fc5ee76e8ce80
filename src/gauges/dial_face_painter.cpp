// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/dial_face_painter.h"

#include "gauges/gauge_drawing.h"
#include "gauges/tick_plan.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

const QColor faceCenter(38, 45, 58);
const QColor faceEdge(9, 11, 16);
const QColor majorTickColor(238, 241, 246);
const QColor minorTickColor(150, 160, 175);
const QColor labelColor(240, 243, 248);
const QColor captionColor(196, 206, 222);
const QColor redLineColor(235, 40, 30);

// A point at `radius` from the centre, `degrees` clockwise from the top.
QPointF polar(const QPointF &center, double radius, double degrees)
{
    const double r = degrees * M_PI / 180.0;
    return center + QPointF(radius * std::sin(r), -radius * std::cos(r));
}

// Where the ticks start, just inside the face's edge.
double tickOuter(const DialGeometry &g)
{
    return g.faceRadius - 2.0;
}

// Brushed metal lit from the top left, a thin dark seat, then the dark face.
void paintRimAndFace(QPainter &p, const DialGeometry &g)
{
    const QPointF c = g.center;
    const double rimRadius = g.radius;
    const double faceRadius = g.faceRadius;
    QLinearGradient rim(c - QPointF(rimRadius, rimRadius), c + QPointF(rimRadius, rimRadius));
    rim.setColorAt(0.0, QColor(250, 251, 253));
    rim.setColorAt(0.45, QColor(184, 191, 202));
    rim.setColorAt(1.0, QColor(104, 112, 126));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, rimRadius, rimRadius);
    QLinearGradient seat(c - QPointF(faceRadius, faceRadius), c + QPointF(faceRadius, faceRadius));
    seat.setColorAt(0.0, QColor(70, 76, 88));
    seat.setColorAt(1.0, QColor(225, 230, 236));
    p.setBrush(seat);
    p.drawEllipse(c, faceRadius + 1.5, faceRadius + 1.5);

    QRadialGradient face(c, faceRadius);
    face.setColorAt(0.0, faceCenter);
    face.setColorAt(1.0, faceEdge);
    p.setBrush(face);
    p.drawEllipse(c, faceRadius, faceRadius);
}

// A red band from `red` to the top of the scale, with a heavy radial mark,
// when that value lies on the scale. A full circle has no top: the mark alone.
void paintRedLine(QPainter &p, const DialGeometry &g, const DialScale &scale, double red)
{
    const double low = std::min(scale.minimum, scale.maximum);
    const double high = std::max(scale.minimum, scale.maximum);
    if (!(red >= low && red <= high && high > low))
        return;
    const QPointF c = g.center;
    const double major = g.majorLength;
    const double a = scale.angleFor(red);
    if (!scale.fullCircle) {
        const double bandRadius = tickOuter(g) - major * 0.3;
        const double end = DialScale::arcStart + DialScale::arcSweep;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(redLineColor.red(), redLineColor.green(), redLineColor.blue(), 200), major * 0.45,
                      Qt::SolidLine, Qt::FlatCap));
        const QRectF box(c.x() - bandRadius, c.y() - bandRadius, 2 * bandRadius, 2 * bandRadius);
        p.drawArc(box, int(std::lround((90.0 - a) * 16.0)), int(std::lround(-(end - a) * 16.0)));
    }
    p.setPen(QPen(redLineColor, std::max(3.0, g.radius * 0.032), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(polar(c, tickOuter(g) + 1.0, a), polar(c, tickOuter(g) - major * 1.5, a));
}

// Minor and major ticks, labels inside the majors: as many labels as fit
// with room between them along the arc.
void paintScale(QPainter &p, const DialGeometry &g, const DialScale &scale)
{
    const QPointF c = g.center;
    const double faceRadius = g.faceRadius;
    const double low = std::min(scale.minimum, scale.maximum);
    const double high = std::max(scale.minimum, scale.maximum);
    const double sweep = scale.fullCircle ? 360.0 : DialScale::arcSweep;
    const double outer = tickOuter(g);
    const double major = g.majorLength;

    const QFont labelFont = drawingFont(std::clamp(faceRadius * 0.105, 7.0, 18.0), true);
    const QFontMetricsF fm(labelFont);
    const int guessDecimals = high - low < 10.0 ? 1 : 0;
    const double widest = std::max(fm.horizontalAdvance(QString::number(low, 'f', guessDecimals)),
                                   fm.horizontalAdvance(QString::number(high, 'f', guessDecimals)));
    const double labelArc = sweep * M_PI / 180.0 * std::max(1.0, outer - major - fm.height());
    const int fitting = int(labelArc / (widest * 1.5 + 10.0));
    TickPlan plan = planTicks(low, high, std::clamp(fitting, 2, 12));
    if (scale.fullCircle && high - low == 360.0) { // angles: every 30, 45 or 90 degrees
        plan.step = fitting >= 9 ? 30.0 : (fitting >= 6 ? 45.0 : 90.0);
        plan.minorPerMajor = plan.step == 45.0 ? 3 : (plan.step == 30.0 ? 3 : 6);
        plan.decimals = 0;
    }
    if (!(plan.step > 0.0))
        return;
    int minorPerMajor = plan.minorPerMajor;
    const double majorArc = plan.step / (high - low) * sweep * M_PI / 180.0 * outer;
    if (scale.fullCircle && plan.minorPerMajor == 3 && majorArc / 6.0 >= 5.0)
        minorPerMajor = 6; // 5-degree steps on a 0..360 dial
    while (minorPerMajor > 1 && majorArc / minorPerMajor < 5.0)
        minorPerMajor = minorPerMajor % 2 == 0 ? minorPerMajor / 2 : (minorPerMajor % 3 == 0 ? minorPerMajor / 3 : 1);
    const double minorStep = plan.step / minorPerMajor;
    const long long first = (long long)std::ceil(low / minorStep - 1e-9);
    const long long last = (long long)std::floor(high / minorStep + 1e-9);
    if (last - first > 720)
        return;

    p.setFont(labelFont);
    // Labels sit just inside the major ticks: the text box, not its
    // centre, keeps a fixed gap from the tick ends whatever the angle.
    const double labelInner = outer - major - std::max(3.0, faceRadius * 0.035);
    const double digitHalfHeight = fm.capHeight() / 2.0;

    const double startSteps = low / plan.step;
    const bool minLabelled = std::fabs(startSteps - std::round(startSteps)) < 1e-9;
    for (long long n = first; n <= last; ++n) {
        const double v = n * minorStep;
        const double a = scale.angleFor(v);
        const bool isMajor = n % minorPerMajor == 0;
        const bool half = !isMajor && minorPerMajor % 2 == 0 && n % (minorPerMajor / 2) == 0;
        if (isMajor) {
            p.setPen(QPen(majorTickColor, std::max(1.5, g.radius * 0.016), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(polar(c, outer, a), polar(c, outer - major, a));
            // On a full circle the top of the scale is also its start.
            const bool wraps = scale.fullCircle && minLabelled && std::fabs(v - high) <= 1e-9 * (high - low);
            if (wraps)
                continue;
            const QString text = tickLabel(v, plan);
            const double rad = a * M_PI / 180.0;
            const double inset = fm.horizontalAdvance(text) / 2.0 * std::fabs(std::sin(rad))
                + digitHalfHeight * std::fabs(std::cos(rad)) + 1.0;
            const QPointF at = polar(c, labelInner - inset, a);
            p.setPen(labelColor);
            p.drawText(QPointF(at.x() - fm.horizontalAdvance(text) / 2.0, at.y() + digitHalfHeight), text);
        } else {
            const double length = half ? major * 0.65 : major * 0.42;
            p.setPen(QPen(minorTickColor, std::max(1.0, g.radius * 0.008), Qt::SolidLine, Qt::FlatCap));
            p.drawLine(polar(c, outer, a), polar(c, outer - length, a));
        }
    }
}

// In the lower half of the face.
void paintCaptions(QPainter &p, const DialGeometry &g, const QString &caption, const QString &subCaption)
{
    const QPointF c = g.center;
    const double faceRadius = g.faceRadius;
    if (!caption.isEmpty()) {
        const QFont captionFont = drawingFont(std::clamp(faceRadius * 0.1, 7.0, 18.0), true);
        const QFontMetricsF fm(captionFont);
        p.setFont(captionFont);
        p.setPen(captionColor);
        const QRectF box(c.x() - faceRadius * 0.8, c.y() + faceRadius * 0.3, faceRadius * 1.6, fm.height());
        p.drawText(box, Qt::AlignCenter, caption);
    }
    if (!subCaption.isEmpty()) {
        const QFont subFont = drawingFont(std::clamp(faceRadius * 0.08, 6.0, 14.0));
        const QFontMetricsF fm(subFont);
        p.setFont(subFont);
        p.setPen(captionColor.darker(115));
        const QRectF box(c.x() - faceRadius * 0.7, c.y() + faceRadius * 0.3 + faceRadius * 0.13, faceRadius * 1.4,
                         fm.height());
        p.drawText(box, Qt::AlignCenter, subCaption);
    }
}

// A faint highlight over the upper half.
void paintGlass(QPainter &p, const DialGeometry &g)
{
    QLinearGradient glass(g.center - QPointF(0, g.faceRadius), g.center);
    glass.setColorAt(0.0, QColor(255, 255, 255, 26));
    glass.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(g.center, g.faceRadius, g.faceRadius);
}

} // namespace

void paintDialFace(QPainter &p, const DialGeometry &g, const DialFace &face)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintRimAndFace(p, g);
    if (face.redLine)
        paintRedLine(p, g, face.scale, *face.redLine);
    paintScale(p, g, face.scale);
    paintCaptions(p, g, face.caption, face.subCaption);
    paintGlass(p, g);
}
