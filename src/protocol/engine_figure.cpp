// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/engine_figure.h"

namespace {

constexpr std::array<FigureInfo, figureCount> figureInfos{{
    {"rpm", "rpm", "Engine speed", "RPM", "RPM", 0, 0, 3600},
    {"advance", "advance_deg", "Advance", "ADV", "deg", 0, 20, 45},
    {"volts", "volts", "Bus volts", "VOLTS", "V", 0, 0, 18},
    {"temperature", "temp_c", "Temperature", "TEMP", "deg C", 0, 0, 150},
    {"coils12", "pair12", "Coils 1&2", "1&2", "", 0, 0, 100},
    {"coils34", "pair34", "Coils 3&4", "3&4", "", 0, 0, 100},
    {"propeller", "prop_deg", "Propeller angle", "PROP", "deg", 0, 0, 360},
}};

constexpr std::array<Figure, figureCount> figures{
    Figure::Rpm,    Figure::Advance, Figure::Volts,    Figure::Temperature,
    Figure::Pair12, Figure::Pair34,  Figure::Propeller,
};

} // namespace

const FigureInfo &figureInfo(Figure figure)
{
    return figureInfos[std::size_t(figure)];
}

const std::array<Figure, figureCount> &allFigures()
{
    return figures;
}

std::optional<Figure> figureByKey(QLatin1StringView key)
{
    for (const Figure figure : figures)
        if (key == QLatin1StringView(figureInfo(figure).key))
            return figure;
    return std::nullopt;
}

FigureValues::FigureValues(std::initializer_list<std::pair<Figure, int16_t>> reported)
{
    for (const auto &[figure, value] : reported)
        set(figure, value);
}

void FigureValues::update(const FigureValues &reported)
{
    for (const Figure figure : figures)
        if (reported.has(figure))
            set(figure, reported[figure]);
}
