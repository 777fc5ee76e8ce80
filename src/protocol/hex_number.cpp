// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/hex_number.h"

#include <algorithm>

namespace {

constexpr qsizetype maxDigits = 23; // 92 bits

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

std::optional<int16_t> HexValue::toInt16() const
{
    if (number > 32767)
        return std::nullopt;
    return int16_t(number);
}

QString HexValue::toText() const
{
    if (empty)
        return QString();
    char digits[40];
    int length = 0;
    UInt128 rest = number;
    do {
        digits[length++] = char('0' + int(rest % 10));
        rest /= 10;
    } while (rest != 0);
    std::reverse(digits, digits + length);
    return QString::fromLatin1(digits, length);
}

HexValue parseHex(QByteArrayView text)
{
    QByteArrayView digits = text;
    if (digits.size() >= 2 && digits[0] == '&' && (digits[1] == 'h' || digits[1] == 'H'))
        digits = digits.sliced(2);
    if (digits.size() > maxDigits)
        return HexValue::none();
    UInt128 value = 0;
    for (char c : digits)
        value = value * 16 + UInt128(digitValue(c));
    return HexValue::of(value);
}
