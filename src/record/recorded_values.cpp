#include "record/recorded_values.h"

#include "protocol/line_dispatch.h"
#include "protocol/replies.h"
#include "protocol/telemetry.h"

namespace {

bool takeTelemetry(RecordedValues &values, QByteArrayView line)
{
    const std::optional<TelemetryRecord> record = decodeTelemetry(line);
    if (!record)
        return false;
    values.rpm = record->engineRpm;
    values.advanceDegrees = record->advanceDegrees;
    values.volts = record->busVolts;
    values.temperature = record->temperatureText.toLatin1();
    values.pair12 = record->pair12Value;
    values.pair34 = record->pair34Value;
    return true;
}

bool takeReply(RecordedValues &values, QByteArrayView line)
{
    const std::optional<ReplyRecord> reply = decodeReply(line);
    if (!reply)
        return false;
    switch (reply->letter) {
    case 'p':
        values.propDegrees = reply->value;
        return true;
    case 'x':
        values.rpm = reply->value;
        return false;
    case 'w':
        values.volts = reply->value;
        return false;
    default:
        return false;
    }
}

} // namespace

bool RecordedValues::take(QByteArrayView line)
{
    switch (classifyLine(line)) {
    case LineKind::Telemetry:
        return takeTelemetry(*this, line);
    case LineKind::Reply:
        return takeReply(*this, line);
    default:
        return false;
    }
}
