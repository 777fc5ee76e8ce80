// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Conversion to a 16-bit integer: nearest, an exact half to the even
// neighbour; nothing when the result does not fit (or is not a number).
std::optional<int16_t> roundToInt16(double value);

// A double as the console shows it: up to 15 significant digits, no trailing
// zeros or point, "-" when negative, the default locale's decimal separator.
QString decimalText(double value);

// The firmware revision box's text as a number; anything that is not a
// decimal number counts as 0.
double revisionNumber(QStringView text);
