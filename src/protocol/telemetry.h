// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

// One "=" record: engine, advance, bus voltage, temperature and the two
// further bars, as the console stores them.
struct TelemetryRecord {
    int16_t engineRpm = 0;
    int16_t advanceSteps = 0;
    int16_t advanceDegrees = 0;
    int16_t busVolts = 0;
    QString temperatureText;
    int16_t pair12Value = 0;
    int16_t pair34Value = 0;
};

// Decodes the record at the start of line. Short fields read as the parseHex
// rules say. An engine speed above 7FFF cannot be held: the whole line is
// rejected (nothing).
std::optional<TelemetryRecord> decodeTelemetry(QByteArrayView line);

// The figures the record reports: all but the propeller angle.
FigureValues figuresOf(const TelemetryRecord &record);
