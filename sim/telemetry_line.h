// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// One streamed record's values, in the units the line carries.
struct TelemetryFields {
    int rpm = 0;            // positions 2-5
    int advanceSteps = 0;   // 6-7, steps of 1.4 degrees
    int dwell = 0;          // 8-9, tenths of a millisecond
    int sensor = 0;         // 10-11, crank sensor amplitude
    int busTenths = 0;      // 12-13 carry volts + 1, in tenths
    int temperature = 0;    // 14-15, degrees C
    int health12 = 0;       // 16-17, 0..100
    int health34 = 0;       // 18-19, 0..100
};

// "=" + 18 upper-case hex digits + CR. Each field is clamped to its width.
QByteArray formatTelemetryLine(const TelemetryFields &fields);
