// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

// The result of parseHex: either empty (no value) or an exact non-negative
// integer below 2^92.
class HexValue {
public:
    static HexValue none() { return HexValue(); }
    // `high` holds the bits above the lowest 64.
    static HexValue of(std::uint64_t high, std::uint64_t low) { return HexValue(high, low); }

    bool isEmpty() const { return empty; }

    // As a 16-bit signed integer: empty gives 0; nothing when it does not fit.
    std::optional<int16_t> toInt16() const;
    // Decimal digits without sign or leading zeros; empty gives empty text.
    QString toText() const;
    // For arithmetic; empty counts as 0. Exact for every field the unit sends.
    double toDouble() const { return double(high) * 0x1p64 + double(low); }

    bool operator==(const HexValue &other) const = default;

private:
    HexValue() = default;
    HexValue(std::uint64_t high, std::uint64_t low) : high(high), low(low), empty(false) {}

    // Two halves rather than a compiler's 128-bit type, which not every
    // compiler has.
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    bool empty = true;
};

// Reads unsigned hexadecimal text, with an optional "&h"/"&H" prefix. Any
// character that is not a hex digit counts as 0; more than 23 digits gives
// the empty result; no text at all gives 0.
HexValue parseHex(QByteArrayView text);
