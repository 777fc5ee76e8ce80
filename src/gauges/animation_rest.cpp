#include "gauges/animation_rest.h"

#include "gauges/angular_gauge.h"
#include "ui/dashform.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

AnimationRest::AnimationRest(DashForm &form)
    : QObject(&form), form(form), tickMs(form.Timer2->interval())
{
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &AnimationRest::beforeSleep);
}

void AnimationRest::tick()
{
    const TickState before = current();
    form.Timer2_Timer();
    const TickState after = current();
    if (after != before)
        wake();
    else if (!isResting)
        rest();
}

void AnimationRest::beforeSleep()
{
    if (!isResting)
        return;
    if (!form.Timer2->isActive()) {
        // Stopped by someone else: whoever starts it again expects its own
        // interval.
        isResting = false;
        form.Timer2->setInterval(tickMs);
        return;
    }
    if (current() != atRest)
        wake();
}

AnimationRest::TickState AnimationRest::current() const
{
    TickState state{};
    state.needle = form.AGauge2->NeedleValue();
    for (int i = 0; i < LinearGauge::pointerCount; ++i) {
        state.bars[i] = form.LGauge1->pointerValueAt(i);
        state.colours[i] = form.LGauge1->pointerColorAt(i);
    }
    state.engineRpm = form.engineRpm;
    state.advanceDegrees = form.advanceDegrees;
    state.busVolts = form.busVolts;
    state.pair12Value = form.pair12Value;
    state.pair34Value = form.pair34Value;
    state.propAngle = form.propAngle;
    state.scratchValue = form.scratchValue;
    state.linkUp = form.linkUp;
    state.engineRunning = form.engineRunning;
    return state;
}

void AnimationRest::rest()
{
    isResting = true;
    atRest = current();
    form.Timer2->setInterval(restMs);
}

void AnimationRest::wake()
{
    if (!isResting)
        return;
    isResting = false;
    form.Timer2->setInterval(tickMs);
}
