#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

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

    // Takes in one received line, terminator included, exactly as the window
    // decodes it. True when the line makes a row: decoded telemetry or a "p"
    // reply. The "x" and "w" replies move the engine speed and bus voltage as
    // they move the gauges, without a row of their own.
    bool take(QByteArrayView line);
};
