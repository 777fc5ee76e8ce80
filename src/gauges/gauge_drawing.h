// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QTransform>

#include <cmath>

class QWidget;

// The typeface of every drawn gauge and picture, at a whole pixel size of at
// least one.
QFont drawingFont(double pixelSize, bool bold = false);

// A pixmap the widget's size in device pixels, all `fill`, to draw a gauge's
// unmoving parts on; null for an empty widget.
QPixmap backgroundFor(const QWidget &widget, const QColor &fill);

// Whether a background made when the widget was `madeFor` in size still
// fits: neither its size nor its pixel ratio has changed since.
bool backgroundFits(const QPixmap &background, const QSize &madeFor, const QWidget &widget);

// Where a value sits on a scale, 0..1; values outside (and NaN) are pinned.
// Inline: the gauges ask on every animation tick.
inline double fractionOf(double value, double minimum, double maximum)
{
    const double span = maximum - minimum;
    if (!(span != 0.0) || !std::isfinite(span))
        return 0.0;
    const double fraction = (value - minimum) / span;
    if (!(fraction > 0.0))
        return 0.0;
    return fraction > 1.0 ? 1.0 : fraction;
}

// Whether the painter lands on whole device pixels, with no scaling.
inline bool wholePixelOffset(const QPainter &p)
{
    const QTransform device = p.deviceTransform();
    return device.type() <= QTransform::TxTranslate && device.dx() == std::trunc(device.dx())
        && device.dy() == std::trunc(device.dy());
}
