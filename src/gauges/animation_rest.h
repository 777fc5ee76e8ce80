#pragma once

#include "gauges/linear_gauge.h"

#include <QObject>
#include <array>
#include <cstdint>

class DashForm;

// Lets the gauge timer sleep while the gauges are at rest.
//
// A tick that changes nothing it reads or writes (every needle and bar on its
// target, the colours set) proves that the next one would change nothing
// either, until something it reads changes. From then on `Timer2` runs at
// `restMs` instead of its own interval; any change is seen before the program
// next sleeps, and the timer goes back to its own interval from there. The
// steps, their order and every pixel are those of a timer that never rests,
// and a connected console whose engine is stopped is not woken a hundred
// times a second for nothing.
//
// `Timer2` stays active throughout, so whoever stops it (RESET) has stopped
// it; the rest then ends without starting it again.
class AnimationRest : public QObject {
public:
    // A tick now and then while resting, as a backstop.
    static constexpr int restMs = 1000;

    explicit AnimationRest(DashForm &form);

    // What `Timer2` runs: the form's tick, then whether it changed anything.
    void tick();
    // Something may have changed since the last tick: the program has handled
    // what woke it and is about to sleep.
    void beforeSleep();
    bool resting() const { return isResting; }

private:
    struct TickState {
        double needle;
        std::array<double, LinearGauge::pointerCount> bars;
        std::array<uint32_t, LinearGauge::pointerCount> colours;
        int16_t engineRpm, advanceDegrees, busVolts, pair12Value, pair34Value, propAngle;
        int16_t scratchValue;
        bool linkUp, engineRunning;
        bool operator==(const TickState &) const = default;
    };
    TickState current() const;
    void rest();
    void wake();

    DashForm &form;
    const int tickMs;
    TickState atRest{};
    bool isResting = false;
};
