// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "viewer/viewed_recording.h"

#include <QLineF>
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

// The lines that draw one figure: in each pixel column of several rows a
// vertical line from their minimum to their maximum (from the pyramid), and a
// line from the last row of the column before to the first of this one, which
// where rows are sparser than pixels joins the points themselves. No line
// joins two rows across a gap or an empty value; a row left with no line on
// either side is a dot. So at most three lines a column.
std::vector<QLineF> traceLines(const ViewedRecording &recording, Figure figure,
                               const StripMapping &mapping, const std::vector<size_t> &bounds);
