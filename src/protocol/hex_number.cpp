// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/hex_number.h"

#include <algorithm>
#include <array>

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
    if (high != 0 || low > 32767)
        return std::nullopt;
    return int16_t(low);
}

QString HexValue::toText() const
{
    if (empty)
        return QString();
    // Long division by ten over 32-bit limbs, most significant first; the
    // high half holds at most 28 bits, so it is one limb.
    std::array<std::uint64_t, 3> limbs{high, low >> 32, low & 0xFFFFFFFFu};
    char digits[40];
    int length = 0;
    do {
        std::uint64_t remainder = 0;
        for (std::uint64_t &limb : limbs) {
            const std::uint64_t current = (remainder << 32) | limb;
            limb = current / 10;
            remainder = current % 10;
        }
        digits[length++] = char('0' + int(remainder));
    } while (limbs[0] != 0 || limbs[1] != 0 || limbs[2] != 0);
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
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    for (char c : digits) {
        high = (high << 4) | (low >> 60);
        low = (low << 4) | std::uint64_t(digitValue(c));
    }
    return HexValue::of(high, low);
}
