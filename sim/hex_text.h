// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <algorithm>

// Upper-case hexadecimal with exactly `digits` digits. The unit's fields have
// a fixed width, so a value that does not fit is clamped rather than widened.
inline QByteArray hexDigits(long long value, int digits)
{
    const long long largest = (1LL << (4 * digits)) - 1;
    return QByteArray::number(std::clamp(value, 0LL, largest), 16)
        .toUpper()
        .rightJustified(digits, '0');
}
