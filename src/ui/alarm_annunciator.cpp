// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarm_annunciator.h"

#include "limits/exceedance_text.h"
#include "record/exceedance_watch.h"

#include <algorithm>

AlarmAnnunciator::AlarmAnnunciator(ExceedanceWatch &watch, QObject *parent)
    : QObject(parent), watch(watch)
{
    connect(&watch, &ExceedanceWatch::exceedanceStarted, this, &AlarmAnnunciator::started);
    connect(&watch, &ExceedanceWatch::exceedanceEnded, this, &AlarmAnnunciator::ended);
    flashTimer.setInterval(flashIntervalMs);
    connect(&flashTimer, &QTimer::timeout, this, &AlarmAnnunciator::tick);
}

// Alarms first, then cautions, each in the order they began.
std::vector<AlarmLine> AlarmAnnunciator::lines(TemperatureScale scale) const
{
    std::vector<Exceedance> active = watch.active();
    std::stable_sort(active.begin(), active.end(), [](const Exceedance &a, const Exceedance &b) {
        return a.level == LimitLevel::Alarm && b.level != LimitLevel::Alarm;
    });
    std::vector<AlarmLine> result;
    const double now = watch.nowSeconds();
    for (const Exceedance &exceedance : active) {
        const double current = watch.latest(exceedance.figure).value_or(exceedance.peak);
        result.push_back({exceedance.level,
                          levelMark(exceedance.level) + QStringLiteral("  ") +
                              liveExceedanceText(exceedance, current, now, scale),
                          exceedance.figure, exceedance.side});
    }
    return result;
}

void AlarmAnnunciator::started(const Exceedance &exceedance)
{
    awaitingAcknowledgement = true;
    flashLit = true;
    flashTimer.start();
    if (exceedance.level == LimitLevel::Alarm && !isMuted) {
        soundTone();
        ticksSinceTone = 0;
    }
    emit changed();
}

void AlarmAnnunciator::ended()
{
    if (watch.active().empty()) {
        awaitingAcknowledgement = false;
        flashTimer.stop();
        stopTone();
    }
    emit changed();
}

void AlarmAnnunciator::acknowledge()
{
    if (!awaitingAcknowledgement)
        return;
    awaitingAcknowledgement = false;
    stopTone();
    emit changed();
}

void AlarmAnnunciator::setMuted(bool muted)
{
    isMuted = muted;
    if (muted)
        stopTone();
}

bool AlarmAnnunciator::alarmActive() const
{
    const std::vector<Exceedance> active = watch.active();
    return std::any_of(active.begin(), active.end(),
                       [](const Exceedance &e) { return e.level == LimitLevel::Alarm; });
}

void AlarmAnnunciator::tick()
{
    if (watch.active().empty()) {
        flashTimer.stop();
        return;
    }
    flashLit = !flashLit;
    if (awaitingAcknowledgement && !isMuted && alarmActive() && ++ticksSinceTone >= ticksBetweenTones) {
        soundTone();
        ticksSinceTone = 0;
    }
    emit changed();
}
