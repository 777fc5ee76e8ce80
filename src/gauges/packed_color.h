// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <cstdint>

// Colours that code assigns are packed numbers: red in bits 0-7, green in
// 8-15, blue in 16-23.
namespace PackedColor {
constexpr uint32_t green = 65280;
constexpr uint32_t red = 255;
constexpr uint32_t orange = 33023;
constexpr uint32_t darkGrey = 4210752;

constexpr uint32_t pack(int r, int g, int b)
{
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

inline QColor toQColor(uint32_t packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}
} // namespace PackedColor
