// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/telemetry_line.h"

#include "sim/hex_text.h"

QByteArray formatTelemetryLine(const TelemetryFields &fields)
{
    // The console reads volts as field / 10 - 1.
    const int voltsField = fields.busTenths + 10;
    return '=' + hexDigits(fields.rpm, 4) + hexDigits(fields.advanceSteps, 2)
           + hexDigits(fields.dwell, 2) + hexDigits(fields.sensor, 2) + hexDigits(voltsField, 2)
           + hexDigits(fields.temperature, 2) + hexDigits(fields.health12, 2)
           + hexDigits(fields.health34, 2) + '\r';
}
