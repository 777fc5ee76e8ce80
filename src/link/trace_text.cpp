// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/trace_text.h"

QByteArray cQuoted(QByteArrayView bytes)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    QByteArray text;
    text.reserve(bytes.size() * 2 + 2);
    text += '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\r': text += "\\r"; break;
        case '\n': text += "\\n"; break;
        case '"': text += "\\\""; break;
        case '\\': text += "\\\\"; break;
        default:
            if (byte >= 0x20 && byte < 0x7F) {
                text += c;
            } else {
                text += "\\x";
                text += hexDigits[byte >> 4];
                text += hexDigits[byte & 0xF];
            }
        }
    }
    text += '"';
    return text;
}
