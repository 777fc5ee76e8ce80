// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/time_span.h"

#include <algorithm>

TimeSpan viewableSpan(TimeSpan data)
{
    if (data.length() >= narrowestSpanSeconds)
        return data;
    const double middle = (data.first + data.last) / 2;
    return {middle - narrowestSpanSeconds / 2, middle + narrowestSpanSeconds / 2};
}

TimeSpan clampedSpan(TimeSpan wanted, TimeSpan data)
{
    const TimeSpan allowed = viewableSpan(data);
    const double length = std::clamp(wanted.length(), narrowestSpanSeconds, allowed.length());
    const double first = std::clamp(wanted.first, allowed.first, allowed.last - length);
    return {first, first + length};
}

TimeSpan zoomedSpan(TimeSpan view, double around, double factor, TimeSpan data)
{
    const double length = std::clamp(view.length() * factor, narrowestSpanSeconds,
                                      viewableSpan(data).length());
    const double share = view.length() > 0 ? (around - view.first) / view.length() : 0.5;
    const double first = around - share * length;
    return clampedSpan({first, first + length}, data);
}

TimeSpan pannedSpan(TimeSpan view, double seconds, TimeSpan data)
{
    return clampedSpan({view.first + seconds, view.last + seconds}, data);
}
