#pragma once

#include <QFont>
#include <QPainter>
#include <QTransform>

#include <cmath>

// The typeface of every drawn gauge and picture, at a whole pixel size of at
// least one.
QFont drawingFont(double pixelSize, bool bold = false);

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
