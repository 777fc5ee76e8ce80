// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/replies.h"

#include "protocol/hex_number.h"
#include "protocol/line_kind.h"
#include "protocol/number_format.h"
#include "protocol/setting_texts.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t clamp(int16_t n, int16_t low, int16_t high)
{
    return std::clamp(n, low, high);
}

void decodeValue(ReplyRecord &r, const HexValue &raw)
{
    int16_t &n = r.value;
    switch (r.letter) {
    case 'p':
        n = clamp(int16_t(std::floor(n * 1.406)), 0, 360);
        break;
    case 'c':
        n = clamp(n, -9, 9);
        r.text = advanceDegreesText(n);
        break;
    case 'u':
        r.text = raw.toText();
        break;
    case 't':
        n = clamp(n, 0, 2);
        r.text = QString::number(n);
        break;
    case 'd':
        n = clamp(n, 0, 8);
        r.text = QString::number(n);
        break;
    case 'l':
        r.text = ledText(n);
        break;
    case 'n':
        n = clamp(n, 14, 35);
        r.text = advanceDegreesText(n);
        break;
    case 'm':
        n = clamp(n, 0, 16);
        r.text = maxRpmText(n);
        break;
    case 'x':
        if (n < 50)
            n = 0;
        break;
    case 'z':
        r.text = QString::number(n);
        break;
    case 'w':
        n = roundToInt16(n / 10.0).value_or(0);
        break;
    default: // 'b', 'e' and 'j' keep the value as sent
        break;
    }
}

} // namespace

std::optional<ReplyRecord> decodeReply(QByteArrayView line)
{
    if (classifyLine(line) != LineKind::Reply)
        return std::nullopt;
    ReplyRecord record;
    record.letter = line.front();
    const HexValue raw = parseHex(fieldAt(line, 2, record.letter == 'x' ? 4 : 2));
    const std::optional<int16_t> n = raw.toInt16();
    if (!n)
        return std::nullopt;
    record.value = *n;
    record.sent = *n;
    decodeValue(record, raw);
    return record;
}
