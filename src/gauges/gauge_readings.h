// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QAccessible>
#include <QString>
#include <optional>

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

// Both gauges' readings as their accessible descriptions, built only while
// assistive technology listens: a running engine changes them on nearly
// every line, and nobody else reads them. When a screen reader starts, it
// finds the reading of the moment.
class GaugeReadings : public QAccessible::ActivationObserver {
public:
    GaugeReadings(LinearGauge &bars, AngularGauge &propellerDial);
    ~GaugeReadings() override;
    GaugeReadings(const GaugeReadings &) = delete;
    GaugeReadings &operator=(const GaugeReadings &) = delete;

    void follow(const FigureValues &figures);

private:
    void accessibilityActiveChanged(bool active) override;
    void describe();

    LinearGauge &bars;
    AngularGauge &propellerDial;
    FigureValues latest;
    // What the descriptions say; none until first built.
    std::optional<FigureValues> described;
};
