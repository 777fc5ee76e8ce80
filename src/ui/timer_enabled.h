#pragma once

#include <QTimer>

// Enabling a timer that already runs must not restart its interval.
inline void setTimerEnabled(QTimer *timer, bool enabled)
{
    if (!enabled)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}
