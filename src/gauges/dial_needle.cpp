// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/dial_needle.h"

#include "gauges/dial_geometry.h"
#include "gauges/gauge_drawing.h"

#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>

namespace {

const QColor needleColor(255, 255, 255);
const QColor needleTipColor(255, 190, 40);
const QColor shadowColor(0, 0, 0, 120);
const QPointF shadowOffset(1.5, 2.5);

struct NeedleShape {
    double tip;
    double tail;
    double halfWidth;
    double hub;
};

NeedleShape needleShape(const DialGeometry &g)
{
    return {g.faceRadius - 4.0, g.faceRadius * 0.2, std::max(2.0, g.radius * 0.028),
            std::max(3.0, g.radius * 0.075)};
}

// The blade pointing up, before rotation.
void needleBlade(const NeedleShape &shape, QPointF (&blade)[5])
{
    blade[0] = QPointF(0.0, -shape.tip);
    blade[1] = QPointF(shape.halfWidth, -shape.tip * 0.12);
    blade[2] = QPointF(shape.halfWidth * 0.8, shape.tail);
    blade[3] = QPointF(-shape.halfWidth * 0.8, shape.tail);
    blade[4] = QPointF(-shape.halfWidth, -shape.tip * 0.12);
}

} // namespace

QRect DialNeedle::bounds(const DialGeometry &g, double angle)
{
    const NeedleShape shape = needleShape(g);
    QPointF blade[5];
    needleBlade(shape, blade);
    QTransform turn;
    turn.rotate(angle);
    QRectF bounds(g.center - QPointF(shape.hub, shape.hub), QSizeF(2 * shape.hub, 2 * shape.hub));
    for (const QPointF &corner : blade) {
        const QPointF at = g.center + turn.map(corner);
        bounds |= QRectF(at, at + shadowOffset).normalized();
    }
    return bounds.toAlignedRect().adjusted(-3, -3, 3, 3);
}

void DialNeedle::paint(QPainter &p, const DialGeometry &g, double angle, bool plain)
{
    p.setRenderHint(QPainter::Antialiasing);
    const NeedleShape shape = needleShape(g);
    const double tip = shape.tip;
    const double halfWidth = shape.halfWidth;
    QPointF blade[5];
    needleBlade(shape, blade);
    const QPointF point[] = {
        QPointF(0.0, -tip),
        QPointF(halfWidth * 0.62, -tip * 0.72),
        QPointF(-halfWidth * 0.62, -tip * 0.72),
    };

    paintShadow(p, g, angle, blade, plain);

    p.save();
    p.translate(g.center);
    p.rotate(angle);
    p.setPen(QPen(QColor(40, 44, 52), 0.8));
    p.setBrush(needleColor);
    p.drawPolygon(blade, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(needleTipColor);
    p.drawPolygon(point, 3);
    p.restore();

    const double hub = shape.hub;
    QRadialGradient cap(g.center - QPointF(hub * 0.35, hub * 0.35), hub * 1.2);
    cap.setColorAt(0.0, QColor(235, 238, 243));
    cap.setColorAt(1.0, QColor(70, 76, 88));
    p.setPen(QPen(QColor(20, 22, 28), 1.0));
    p.setBrush(cap);
    p.drawEllipse(g.center, hub, hub);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(25, 28, 34));
    p.drawEllipse(g.center, hub * 0.3, hub * 0.3);
}

// Shadow cast on the face, down and to the right. Filled straight onto the
// widget, a translucent polygon this size has Qt 6.4 split its spans across
// the global thread pool, some forty futex calls a frame. Filled in
// Source mode onto a clear image (no threads for that mode) and then blended,
// every pixel comes out the same: coverage times colour, then source-over.
// That holds only where the image lands on whole device pixels.
void DialNeedle::paintShadow(QPainter &p, const DialGeometry &g, double angle, const QPointF (&blade)[5],
                             bool plain)
{
    const QPointF origin = g.center + shadowOffset;
    if (plain || !wholePixelOffset(p)) {
        p.save();
        p.translate(origin);
        p.rotate(angle);
        p.setPen(Qt::NoPen);
        p.setBrush(shadowColor);
        p.drawPolygon(blade, 5);
        p.restore();
        return;
    }
    QTransform turn;
    turn.rotate(angle);
    QPolygonF outline;
    for (const QPointF &corner : blade)
        outline << origin + turn.map(corner);
    const QRect area = outline.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (shadowImage.width() < area.width() || shadowImage.height() < area.height())
        shadowImage = QImage(area.size().expandedTo(shadowImage.size()), QImage::Format_ARGB32_Premultiplied);
    shadowImage.fill(Qt::transparent);
    {
        QPainter s(&shadowImage);
        s.setRenderHint(QPainter::Antialiasing);
        s.setCompositionMode(QPainter::CompositionMode_Source);
        s.translate(-area.topLeft());
        s.translate(origin);
        s.rotate(angle);
        s.setPen(Qt::NoPen);
        s.setBrush(shadowColor);
        s.drawPolygon(blade, 5);
    }
    p.drawImage(area.topLeft(), shadowImage, QRect(QPoint(0, 0), area.size()));
}
