// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>

__extension__ using UInt128 = unsigned __int128;

// The result of parseHex: either empty (no value) or an exact non-negative
// integer below 2^92.
class HexValue {
public:
    static HexValue none() { return HexValue(); }
    static HexValue of(UInt128 value) { return HexValue(value); }

    bool isEmpty() const { return empty; }
    // The exact value; 0 when empty.
    UInt128 value() const { return number; }

    // As a 16-bit signed integer: empty gives 0; nothing when it does not fit.
    std::optional<int16_t> toInt16() const;
    // Decimal digits without sign or leading zeros; empty gives empty text.
    QString toText() const;
    // For arithmetic; empty counts as 0. Exact for every field the unit sends.
    double toDouble() const { return double(number); }

    bool operator==(const HexValue &other) const = default;

private:
    HexValue() = default;
    explicit HexValue(UInt128 value) : number(value), empty(false) {}

    UInt128 number = 0;
    bool empty = true;
};

// Reads unsigned hexadecimal text, with an optional "&h"/"&H" prefix. Any
// character that is not a hex digit counts as 0; more than 23 digits gives
// the empty result; no text at all gives 0.
HexValue parseHex(QByteArrayView text);
