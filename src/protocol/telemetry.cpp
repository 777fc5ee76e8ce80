#include "protocol/telemetry.h"

#include "protocol/hex2dec.h"
#include "protocol/line_dispatch.h"
#include "protocol/number_format.h"

namespace {

HexValue field(QByteArrayView rBuff, qsizetype position, qsizetype width)
{
    return Hex2Dec(fieldAt(rBuff, position, width));
}

// Two-digit fields always fit in 16 bits.
int16_t small(QByteArrayView rBuff, qsizetype position)
{
    return int16_t(field(rBuff, position, 2).value());
}

} // namespace

std::optional<TelemetryRecord> decodeTelemetry(QByteArrayView rBuff)
{
    const std::optional<int16_t> rpm = field(rBuff, 2, 4).toInt16();
    if (!rpm)
        return std::nullopt;

    TelemetryRecord record;
    record.engineRpm = *rpm;
    record.advanceSteps = small(rBuff, 6);
    record.advanceDegrees = roundToInt16(record.advanceSteps * 1.4).value_or(0);
    record.busVolts = roundToInt16(field(rBuff, 12, 2).toDouble() / 10.0 - 1.0).value_or(0);
    record.temperatureText = field(rBuff, 14, 2).toText();
    record.pair12Value = small(rBuff, 16);
    record.pair34Value = small(rBuff, 18);
    return record;
}
