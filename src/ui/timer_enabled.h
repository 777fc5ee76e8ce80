#pragma once

#include <QTimer>
#include <initializer_list>

// Enabling a timer that already runs must not restart its interval.
inline void setTimerEnabled(QTimer *timer, bool enabled)
{
    if (!enabled)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}

// Precise timers started at one instant expire in the same wake-ups for as
// long as none falls a whole interval behind; each running one restarts.
inline void startTogether(std::initializer_list<QTimer *> timers)
{
    for (QTimer *timer : timers)
        timer->start();
}
