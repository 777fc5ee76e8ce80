// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <optional>

struct DecodedLine;

// The latest value of every recorded column, as the decoders produce them for
// the window's gauges; empty until the unit has reported it.
struct RecordedValues {
    std::optional<int> rpm;
    std::optional<int> advanceDegrees;
    std::optional<int> volts;
    std::optional<QByteArray> temperature;
    std::optional<int> pair12;
    std::optional<int> pair34;
    std::optional<int> propDegrees;

    // Takes in one decoded line. True when it makes a row: telemetry or a
    // "p" reply. The "x" and "w" replies move the engine speed and bus
    // voltage as they move the gauges, without a row of their own.
    bool take(const DecodedLine &line);
};
