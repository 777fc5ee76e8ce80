// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/temperature_scale.h"

#include <cmath>

namespace {

constexpr double fahrenheitZero = 32;

} // namespace

// Multiplying before dividing keeps whole degrees whole: 100 -> 212 -> 100.
double shownTemperature(double celsius, TemperatureScale scale)
{
    return scale == TemperatureScale::Fahrenheit ? celsius * 9 / 5 + fahrenheitZero : celsius;
}

double storedTemperature(double shown, TemperatureScale scale)
{
    return scale == TemperatureScale::Fahrenheit ? (shown - fahrenheitZero) * 5 / 9 : shown;
}

double shownTemperatureDifference(double celsius, TemperatureScale scale)
{
    return scale == TemperatureScale::Fahrenheit ? celsius * 9 / 5 : celsius;
}

QString temperatureUnit(TemperatureScale scale)
{
    return scale == TemperatureScale::Fahrenheit ? QStringLiteral("deg F") : QStringLiteral("deg C");
}

QString temperatureCaptionUnit(TemperatureScale scale)
{
    return temperatureUnit(scale).toUpper();
}

QString temperatureSymbol(TemperatureScale scale)
{
    return scale == TemperatureScale::Fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");
}

QString temperatureText(const QString &celsiusText, TemperatureScale scale)
{
    bool isNumber = false;
    const double celsius = celsiusText.toDouble(&isNumber);
    if (!isNumber || scale == TemperatureScale::Celsius)
        return celsiusText;
    return QString::number(std::round(shownTemperature(celsius, scale)), 'f', 0);
}

double shownFigureValue(Figure figure, double stored, TemperatureScale scale)
{
    return figure == Figure::Temperature ? shownTemperature(stored, scale) : stored;
}

double storedFigureValue(Figure figure, double shown, TemperatureScale scale)
{
    return figure == Figure::Temperature ? storedTemperature(shown, scale) : shown;
}

double shownFigureDifference(Figure figure, double stored, TemperatureScale scale)
{
    return figure == Figure::Temperature ? shownTemperatureDifference(stored, scale) : stored;
}

QString figureUnit(Figure figure, TemperatureScale scale)
{
    return figure == Figure::Temperature ? temperatureUnit(scale)
                                         : QString::fromLatin1(figureInfo(figure).unit);
}
