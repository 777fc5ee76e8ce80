// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The stretch of a recording in view, in seconds since the file began, and
// how zooming and panning move it: never narrower than narrowestSpanSeconds
// across the view, never beyond the data.

struct TimeSpan {
    double first = 0;
    double last = 0;
    double length() const { return last - first; }
    bool operator==(const TimeSpan &) const = default;
};

inline constexpr double narrowestSpanSeconds = 0.01;

// The span the data allows a view to cover: the data itself, widened around
// its middle when it is narrower than the narrowest view.
TimeSpan viewableSpan(TimeSpan data);

// `wanted`, made narrowest at the least, and moved (never stretched) inside
// the data.
TimeSpan clampedSpan(TimeSpan wanted, TimeSpan data);

// Scaled by `factor` (below 1 zooms in) so that the time `around` stays where
// it is on screen.
TimeSpan zoomedSpan(TimeSpan view, double around, double factor, TimeSpan data);

// Moved by `seconds`, stopping at either end of the data.
TimeSpan pannedSpan(TimeSpan view, double seconds, TimeSpan data);
