// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gauges/gauge_readings.h"
#include "gauges/linear_gauge.h"
#include "protocol/engine_figure.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>

class AngularGauge;

// Moves the propeller needle and the five bars a bounded step toward their
// targets every `stepMs`, so a jumpy signal reads as a smooth sweep.
//
// A step that changes nothing on the gauges proves that the next one would
// change nothing either, until a target changes: the timer then rests at
// `restMs` and new targets bring it straight back to `stepMs`. The steps, their
// order and every pixel are those of a timer that never rests, and a
// connected console whose engine is stopped is not woken a hundred times a
// second for nothing.
class GaugeAnimation : public QObject {
public:
    static constexpr int stepMs = 10;
    // A step now and then while resting, as a backstop.
    static constexpr int restMs = 1000;
    // The figure each bar shows, left to right.
    static constexpr std::array<Figure, LinearGauge::pointerCount> barFigures{
        Figure::Rpm, Figure::Advance, Figure::Volts, Figure::Pair12, Figure::Pair34};

    GaugeAnimation(LinearGauge &bars, AngularGauge &propellerDial, QObject *parent = nullptr);

    // Where the needles are headed: the figures the gauges show, 0 for
    // those not reported; the others are left out. The gauges' readings for
    // screen readers follow them (GaugeReadings).
    void setTargets(const FigureValues &figures);
    const FigureValues &targets() const { return target; }

    // Restarted even when running, so that it shares wake-ups with timers
    // started at the same moment.
    void restart();
    void stop();
    bool isRunning() const { return timer.isActive(); }
    bool resting() const { return isResting; }

    // One step; the timer's, public so tests can drive it.
    void step();

private:
    struct Shown {
        double needle;
        std::array<double, LinearGauge::pointerCount> bars;
        std::array<uint32_t, LinearGauge::pointerCount> colours;
        bool operator==(const Shown &) const = default;
    };
    Shown shown() const;
    void moveGauges();
    void setResting(bool rest);

    LinearGauge &bars;
    AngularGauge &propellerDial;
    FigureValues target;
    GaugeReadings readings;
    QTimer timer;
    bool isResting = false;
};
