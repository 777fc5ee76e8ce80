// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <QPen>

// A logical pixel wide at any screen scaling: cosmetic pens count in device
// pixels.
inline QPen cosmeticPen(const QPainter &painter, const QColor &color)
{
    QPen pen(color, painter.device()->devicePixelRatioF());
    pen.setCosmetic(true);
    return pen;
}
