// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/telemetry.h"

#include <QByteArrayView>
#include <cstdint>
#include <optional>

// Counts the numbered telemetry records (torvane-unit-sim --number-lines) a
// console decoded. The numbers, not the clock, say what was sent: every
// number from the first decoded to the last, so the count does not depend on
// when counting starts or stops.
class LineTally {
public:
    void add(QByteArrayView line)
    {
        if (!line.startsWith('=')) {
            ++others;
            return;
        }
        const std::optional<std::uint16_t> number = lineNumber(line);
        if (!number) {
            ++malformed;
            return;
        }
        if (!last) {
            last = number;
            seen = sent = 1;
            return;
        }
        const auto step = std::uint16_t(*number - *last); // across the wrap too
        if (step == 0 || step >= 0x8000) {
            ++misordered;
            return;
        }
        sent += step;
        ++seen;
        last = number;
    }

    long seen = 0;       // decoded in order, each once
    long sent = 0;       // from the first number decoded to the last
    long misordered = 0; // repeated or behind the last
    long malformed = 0;  // started like a record but is not one
    long others = 0;     // replies, acknowledgements, status records

private:
    // A whole record ("=", 18 hex digits, its terminator) that the console's
    // decoder accepts; its number is in positions 8-11.
    static std::optional<std::uint16_t> lineNumber(QByteArrayView line)
    {
        constexpr qsizetype size = 20;
        if (line.size() != size || (line.back() != '\r' && line.back() != '\n'))
            return std::nullopt;
        for (char c : line.sliced(1, size - 2))
            if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
                return std::nullopt;
        if (!decodeTelemetry(line))
            return std::nullopt;
        bool ok = false;
        const uint number = line.sliced(7, 4).toByteArray().toUInt(&ok, 16);
        return ok ? std::optional<std::uint16_t>(std::uint16_t(number)) : std::nullopt;
    }

    std::optional<std::uint16_t> last;
};
