// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_animation.h"

#include "gauges/angular_gauge.h"
#include "gauges/packed_color.h"
#include "protocol/number_format.h"

#include <cmath>

namespace {

enum Bar : int16_t { Rpm = 0, Advance = 1, Volts = 2, Pair12 = 3, Pair34 = 4 };

// Colour bands: below `low` orange, strictly between `greenFrom` and `greenTo`
// green, above `red` red. The values in the gaps keep the colour they had.
struct Bands {
    int low;
    int greenFrom;
    int greenTo;
    int red;
};

constexpr Bands rpmBands{1000, 1001, 2900, 2900};
constexpr Bands voltsBands{8, 9, 15, 15};
constexpr Bands advanceBands{20, 21, 39, 40};

// Only what moves a gauge makes a new target: a new temperature (it has a box,
// no gauge) or a first report of 0 must not end a rest.
FigureValues onGauges(const FigureValues &figures)
{
    FigureValues shown;
    for (const Figure figure : allFigures())
        if (figure != Figure::Temperature)
            shown.set(figure, figures[figure]);
    return shown;
}

void colourBy(LinearGauge &gauge, int16_t bar, int value, const Bands &bands)
{
    gauge.selectPointerToColour(bar);
    if (value < bands.low)
        gauge.colourSelectedPointer(PackedColor::orange);
    if (value > bands.greenFrom && value < bands.greenTo)
        gauge.colourSelectedPointer(PackedColor::green);
    if (value > bands.red)
        gauge.colourSelectedPointer(PackedColor::red);
}

// Moves the selected bar one fixed step toward the target.
void stepToward(LinearGauge &gauge, double target, double step)
{
    if (gauge.selectedValue() < target)
        gauge.setSelectedValue(gauge.selectedValue() + step);
    if (gauge.selectedValue() > target)
        gauge.setSelectedValue(gauge.selectedValue() - step);
}

// The RPM bar closes a tenth of the gap per step, at least one RPM.
int16_t rpmStep(double shown, int16_t target)
{
    const int16_t gap = roundToInt16(std::fabs(shown - target)).value_or(32767);
    return gap >= 25 ? int16_t(gap / 10) : int16_t(1);
}

} // namespace

GaugeAnimation::GaugeAnimation(LinearGauge &bars, AngularGauge &propellerDial, QObject *parent)
    : QObject(parent), bars(bars), propellerDial(propellerDial), target(onGauges({})),
      readings(bars, propellerDial)
{
    timer.setInterval(stepMs);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &GaugeAnimation::step);
    timer.start();
}

void GaugeAnimation::setTargets(const FigureValues &figures)
{
    // A first report of 0 moves no needle but ends "no reading".
    readings.follow(figures);
    const FigureValues targets = onGauges(figures);
    if (targets == target)
        return;
    target = targets;
    setResting(false);
}

void GaugeAnimation::restart()
{
    isResting = false;
    timer.setInterval(stepMs);
    timer.start();
}

void GaugeAnimation::stop()
{
    timer.stop();
    isResting = false;
    timer.setInterval(stepMs);
}

void GaugeAnimation::step()
{
    const Shown before = shown();
    moveGauges();
    setResting(shown() == before);
}

void GaugeAnimation::setResting(bool rest)
{
    if (rest == isResting)
        return;
    isResting = rest;
    // Changing a running timer's interval restarts it: the next step comes a
    // whole step after the change.
    if (timer.isActive())
        timer.setInterval(rest ? restMs : stepMs);
}

GaugeAnimation::Shown GaugeAnimation::shown() const
{
    Shown state{};
    state.needle = propellerDial.needleValue();
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        state.bars[i] = bars.pointerValueAt(i);
        state.colours[i] = bars.pointerColorAt(i);
    }
    return state;
}

// Each needle and bar reads its current value back from the gauge itself.
void GaugeAnimation::moveGauges()
{
    const int16_t angle = target[Figure::Propeller];
    if (propellerDial.needleValue() > angle)
        propellerDial.setNeedleValue(propellerDial.needleValue() - 1);
    if (propellerDial.needleValue() < angle)
        propellerDial.setNeedleValue(propellerDial.needleValue() + 1);
    if (std::fabs(angle - propellerDial.needleValue()) > 90)
        propellerDial.setNeedleValue(angle);

    bars.beginBatch();
    bars.selectPointer(Rpm);
    const int16_t rpm = target[Figure::Rpm];
    const int16_t rpmMove = rpmStep(bars.selectedValue(), rpm);
    if (bars.selectedValue() > rpm)
        bars.setSelectedValue(bars.selectedValue() - rpmMove);
    if (bars.selectedValue() < rpm)
        bars.setSelectedValue(bars.selectedValue() + rpmMove);
    colourBy(bars, Rpm, rpm, rpmBands);

    bars.selectPointer(Volts);
    const int16_t volts = target[Figure::Volts];
    if (bars.selectedValue() > volts)
        bars.setSelectedValue(bars.selectedValue() - 0.1);
    if (bars.selectedValue() < volts)
        bars.setSelectedValue(bars.selectedValue() + 0.1);
    colourBy(bars, Volts, volts, voltsBands);

    bars.selectPointer(Advance);
    stepToward(bars, target[Figure::Advance], 0.1);
    colourBy(bars, Advance, target[Figure::Advance], advanceBands);

    bars.selectPointer(Pair12);
    stepToward(bars, target[Figure::Pair12], 1);
    bars.selectPointer(Pair34);
    stepToward(bars, target[Figure::Pair34], 1);
    bars.endBatch();
}
