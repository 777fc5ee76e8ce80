// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gauges/gauge_drawing.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <algorithm>

// Where the parts of a round dial sit in a widget of a given size.
struct DialGeometry {
    QPointF center;
    double radius = 0.0;     // outer edge of the rim
    double faceRadius = 0.0; // dark face inside the rim
    double majorLength = 0.0;

    // Smaller than this, the dial draws no face and no needle at all.
    bool hasFace() const { return faceRadius >= 4.0; }
};

inline DialGeometry dialGeometry(const QSize &size)
{
    DialGeometry g;
    g.center = QPointF(size.width() / 2.0, size.height() / 2.0);
    g.radius = std::max(0.0, std::min(size.width(), size.height()) / 2.0 - 0.5);
    const double rim = std::max(2.0, g.radius * 0.075);
    g.faceRadius = std::max(0.0, g.radius - rim);
    g.majorLength = std::max(3.0, g.faceRadius * 0.12);
    return g;
}

// A 270-degree arc from minimum to maximum, or a full circle (0 at the top,
// clockwise) for angles.
struct DialScale {
    static constexpr double arcStart = -135.0; // clockwise from the top
    static constexpr double arcSweep = 270.0;

    double minimum = 0.0;
    double maximum = 100.0;
    bool fullCircle = false;

    // Degrees clockwise from the top; values off the scale are pinned.
    double angleFor(double value) const
    {
        const double fraction = fractionOf(value, minimum, maximum);
        return fullCircle ? fraction * 360.0 : arcStart + fraction * arcSweep;
    }
};

// Whether `rows` (per row: first and last column) take in all of `rect`.
inline bool rowsHold(const QList<QPoint> &rows, const QRect &rect)
{
    if (rect.isEmpty() || rect.top() < 0 || rect.bottom() >= rows.size())
        return false;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QPoint &row = rows[y];
        if (rect.left() < row.x() || rect.right() > row.y())
            return false;
    }
    return true;
}
