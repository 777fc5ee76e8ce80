// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

// One lower-case reply record, converted and limited to what its display
// can show.
//   letter  value                                 text
//   p       propeller angle in degrees, 0..360    -
//   c       advance shift, -9..9 steps            degrees
//   u       firmware revision                     decimal revision
//   t       pulses per revolution, 0..2           value
//   d       start delay, 0..8                     value
//   l       LED setting as sent                   LED name
//   n       maximum advance, 14..35 steps         degrees
//   m       maximum RPM, 0..16 units of 256       RPM
//   x       engine RPM (below 50 reads as 0)      -
//   b, e    as sent (nothing uses them)           -
//   z       maximum temperature                   value
//   j       advance shift available when not 0    -
//   w       bus volts (value / 10)                -
struct ReplyRecord {
    char letter = 0;
    int16_t value = 0;
    // The value as the unit sent it, before it was limited for display.
    int16_t sent = 0;
    QString text;
};

// Nothing when the first character is no reply letter, or when an "x"
// record's engine speed is above 7FFF and cannot be held.
std::optional<ReplyRecord> decodeReply(QByteArrayView line);
