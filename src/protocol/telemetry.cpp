// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/telemetry.h"

#include "protocol/hex_number.h"
#include "protocol/line_kind.h"
#include "protocol/number_format.h"

namespace {

HexValue field(QByteArrayView line, qsizetype position, qsizetype width)
{
    return parseHex(fieldAt(line, position, width));
}

// Two-digit fields always fit in 16 bits.
int16_t small(QByteArrayView line, qsizetype position)
{
    return field(line, position, 2).toInt16().value_or(0);
}

} // namespace

std::optional<TelemetryRecord> decodeTelemetry(QByteArrayView line)
{
    const std::optional<int16_t> rpm = field(line, 2, 4).toInt16();
    if (!rpm)
        return std::nullopt;

    TelemetryRecord record;
    record.engineRpm = *rpm;
    record.advanceSteps = small(line, 6);
    record.advanceDegrees = roundToInt16(record.advanceSteps * 1.4).value_or(0);
    record.busVolts = roundToInt16(field(line, 12, 2).toDouble() / 10.0 - 1.0).value_or(0);
    record.temperatureText = field(line, 14, 2).toText();
    record.pair12Value = small(line, 16);
    record.pair34Value = small(line, 18);
    return record;
}

FigureValues figuresOf(const TelemetryRecord &record)
{
    FigureValues figures{{Figure::Rpm, record.engineRpm}, {Figure::Advance, record.advanceDegrees},
                         {Figure::Volts, record.busVolts},  {Figure::Pair12, record.pair12Value},
                         {Figure::Pair34, record.pair34Value}};
    bool isNumber = false;
    const int16_t temperature = record.temperatureText.toShort(&isNumber);
    if (isNumber)
        figures.set(Figure::Temperature, temperature);
    return figures;
}
