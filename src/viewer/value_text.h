// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/time_text.h" // durationText, as the viewer's texts use it
#include "protocol/temperature_scale.h"
#include "recording/recording_table.h"

#include <QDateTime>
#include <QString>

// How the viewer writes figures, times and lengths of time.

// "Engine speed (RPM)", "Temperature (deg F)"; the name alone for a figure
// without a unit.
QString figureCaption(Figure figure, TemperatureScale scale);
// Whole numbers as they are, others to at most two decimals: "1500", "13.25".
QString figureText(double value);
// A difference with its sign: "+120", "-0.5", "0".
QString differenceText(double value);
// A mean to one decimal.
QString meanText(double value);
// The clock time `seconds` after `start`, to the millisecond.
QDateTime clockAt(const QDateTime &start, double seconds);
// "2026-12-07 14:03:22.250".
QString clockText(const QDateTime &start, double seconds);
