// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRectF>

// A logical pixel wide at any screen scaling: cosmetic pens count in device
// pixels.
inline QPen cosmeticPen(const QPainter &painter, const QColor &color)
{
    QPen pen(color, painter.device()->devicePixelRatioF());
    pen.setCosmetic(true);
    return pen;
}

// A line across or down a logical pixel wide, filled: the raster engine fills
// a rectangle for a small part of what a pen costs it for each pixel.
inline void fillStraightLine(QPainter &painter, QPointF from, QPointF to, const QColor &colour)
{
    painter.fillRect(QRectF(from, to).normalized().adjusted(-0.5, -0.5, 0.5, 0.5), colour);
}

inline void fillOutline(QPainter &painter, const QRectF &rect, const QColor &colour)
{
    fillStraightLine(painter, rect.topLeft(), rect.topRight(), colour);
    fillStraightLine(painter, rect.bottomLeft(), rect.bottomRight(), colour);
    fillStraightLine(painter, rect.topLeft(), rect.bottomLeft(), colour);
    fillStraightLine(painter, rect.topRight(), rect.bottomRight(), colour);
}
