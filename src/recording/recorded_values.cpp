// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recorded_values.h"

#include "protocol/decoded_line.h"

namespace {

void takeTelemetry(RecordedValues &values, const TelemetryRecord &record)
{
    values.rpm = record.engineRpm;
    values.advanceDegrees = record.advanceDegrees;
    values.volts = record.busVolts;
    values.temperature = record.temperatureText.toLatin1();
    values.pair12 = record.pair12Value;
    values.pair34 = record.pair34Value;
}

bool takeReply(RecordedValues &values, const ReplyRecord &reply)
{
    switch (reply.letter) {
    case 'p':
        values.propDegrees = reply.value;
        return true;
    case 'x':
        values.rpm = reply.value;
        return false;
    case 'w':
        values.volts = reply.value;
        return false;
    default:
        return false;
    }
}

} // namespace

bool RecordedValues::take(const DecodedLine &line)
{
    if (line.telemetry) {
        takeTelemetry(*this, *line.telemetry);
        return true;
    }
    return line.reply && takeReply(*this, *line.reply);
}
