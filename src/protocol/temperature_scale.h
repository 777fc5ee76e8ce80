// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QString>

// The scale temperatures are shown in. Everything stored (recordings,
// settings files, limits, the logbook index) stays in deg C; this is the one
// place that turns a stored deg C into what a person reads, and back.
enum class TemperatureScale { Celsius, Fahrenheit };

// Exact, so that a value typed in deg F, stored in deg C and shown again
// reads as typed.
double shownTemperature(double celsius, TemperatureScale scale);
double storedTemperature(double shown, TemperatureScale scale);
// A difference between two temperatures: no offset, only the degree's size.
double shownTemperatureDifference(double celsius, TemperatureScale scale);

// "deg C", "deg F": where a value is followed by its unit.
QString temperatureUnit(TemperatureScale scale);
// "DEG C", "DEG F": the console window's captions.
QString temperatureCaptionUnit(TemperatureScale scale);
// "°C", "°F": printed pages.
QString temperatureSymbol(TemperatureScale scale);

// A temperature the unit sent as decimal text ("87"), in the shown scale, to
// whole degrees as the unit reports it. Text that is no number is shown as
// it came.
QString temperatureText(const QString &celsiusText, TemperatureScale scale);

// Any engine figure as shown: only the temperature depends on the scale.
double shownFigureValue(Figure figure, double stored, TemperatureScale scale);
double storedFigureValue(Figure figure, double shown, TemperatureScale scale);
double shownFigureDifference(Figure figure, double stored, TemperatureScale scale);
// "RPM", "deg", "V", "deg F", "" for none.
QString figureUnit(Figure figure, TemperatureScale scale);
