// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QString>

class AngularGauge;
class LinearGauge;

// The gauges' figures in words, for screen readers: made from the figures
// the gauges are aimed at, never from a frame of their sweep. A figure the
// unit has not reported reads "no reading", where its bar shows 0.

// "Engine speed 2400 RPM, advance 32 degrees, bus 14 volts, coils 1&2 60,
// coils 3&4 75"
QString barsReading(const FigureValues &figures);
// "Propeller angle 90 degrees"
QString propellerReading(const FigureValues &figures);

// Gives both gauges their reading as their accessible description; an
// unchanged reading tells assistive technology nothing.
void describeGaugeReadings(LinearGauge &bars, AngularGauge &propellerDial,
                           const FigureValues &figures);
