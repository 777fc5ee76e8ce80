// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/cursor_values.h"

#include "viewer/viewed_recording.h"

#include <cmath>

FigureValuesAt figuresAt(const ViewedRecording &recording, std::optional<size_t> row)
{
    FigureValuesAt values;
    if (!row)
        return values;
    for (int f = 0; f < figureCount; ++f) {
        const float value = recording.column(Figure(f))[*row];
        if (!std::isnan(value))
            values[f] = value;
    }
    return values;
}

FigureValuesAt differences(const FigureValuesAt &first, const FigureValuesAt &second)
{
    FigureValuesAt result;
    for (int f = 0; f < figureCount; ++f)
        if (first[f] && second[f])
            result[f] = *second[f] - *first[f];
    return result;
}
