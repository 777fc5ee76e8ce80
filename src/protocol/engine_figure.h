// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

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
    const char *unit;     // as stored: "RPM", "deg", "V", "deg C", "" for none;
                          // figureUnit (temperature_scale.h) gives the one shown
    int decimals;         // as the unit reports it
    double gaugeMinimum;  // the window's gauge range, the strips' default
    double gaugeMaximum;
};

const FigureInfo &figureInfo(Figure figure);
const std::array<Figure, figureCount> &allFigures();
std::optional<Figure> figureByKey(QLatin1StringView key);

// The latest value of each figure, none until the unit has reported it. The
// unit sends every figure as a 16-bit integer (the temperature as the
// decimal digits of one).
class FigureValues {
public:
    FigureValues() = default;
    FigureValues(std::initializer_list<std::pair<Figure, int16_t>> reported);

    // 0 until reported, as the gauges show it.
    int16_t operator[](Figure figure) const { return values[std::size_t(figure)].value_or(0); }
    bool has(Figure figure) const { return values[std::size_t(figure)].has_value(); }
    void set(Figure figure, int16_t value) { values[std::size_t(figure)] = value; }
    void forget(Figure figure) { values[std::size_t(figure)].reset(); }
    // Takes every figure `reported` has; the others keep their values.
    void update(const FigureValues &reported);

    bool operator==(const FigureValues &) const = default;

private:
    std::array<std::optional<int16_t>, figureCount> values{};
};
