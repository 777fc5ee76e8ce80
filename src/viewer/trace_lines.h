// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "viewer/viewed_recording.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <vector>

// How a strip maps seconds and a figure's values onto the screen.
struct StripMapping {
    TimeSpan view;
    QRectF rect;
    double low = 0; // the values at the strip's bottom and top
    double high = 1;

    double x(double seconds) const
    {
        return rect.left() + (seconds - view.first) * rect.width() / view.length();
    }
    double y(double value) const
    {
        return rect.bottom() - (value - low) * rect.height() / (high - low);
    }
};

// The rows under each column (a pixel wide, or wider for a lighter trace): column i shows rows bounds[i] to
// bounds[i + 1] - 1; the last bound takes in a row at the view's very end.
// One binary search per column, whatever the number of rows.
std::vector<size_t> pixelColumnRows(const std::vector<double> &seconds, TimeSpan view,
                                    int columns);

// One figure's trace as drawn: in each column of several rows a span from
// their minimum to their maximum (from the pyramid); where rows are sparser
// than columns, lines joining the points themselves. Columns a pixel wide
// touch, so there a span reaches to the row before it instead of a line
// joining them. No line or span joins two rows across a gap or an empty
// value; a row left with nothing to join on either side is a dot. Spans are
// filled, not stroked: a pen costs the raster engine several times more for
// each pixel, and a whole recording in view is nothing but spans.
struct TraceShape {
    std::vector<QLineF> lines;
    std::vector<QRectF> spans;
};
TraceShape traceShape(const ViewedRecording &recording, Figure figure, const StripMapping &mapping,
                      const std::vector<size_t> &bounds);

void paintTrace(QPainter &painter, const TraceShape &shape, const QColor &colour);
