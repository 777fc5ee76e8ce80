// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <array>
#include <optional>

// The engine figures the unit reports, each described once: the recording's
// columns, the gauges' ranges, the viewer's strips and the alarm limits all
// read this table.
enum class Figure { Rpm, Advance, Volts, Temperature, Pair12, Pair34, Propeller };
inline constexpr int figureCount = 7;

struct FigureInfo {
    const char *key;      // in limits files: "rpm"
    const char *column;   // the recording's header name: "rpm"
    const char *name;     // for people: "Engine speed"
    const char *caption;  // short, as the gauges and the alarm lines show it: "RPM"
    const char *unit;     // "RPM", "deg", "V", "deg C", "" for none
    int decimals;         // as the unit reports it
    double gaugeMinimum;  // the window's gauge range, the strips' default
    double gaugeMaximum;
};

const FigureInfo &figureInfo(Figure figure);
const std::array<Figure, figureCount> &allFigures();
std::optional<Figure> figureByKey(QLatin1StringView key);
