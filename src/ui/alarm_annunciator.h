// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"
#include "protocol/temperature_scale.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

class ExceedanceWatch;

struct AlarmLine {
    LimitLevel level = LimitLevel::Caution;
    QString text; // in words, with its mark: "ALARM  RPM 3120: above ..."
    // Which exceedance the line tells of: its text changes while it lasts.
    Figure figure = Figure::Rpm;
    LimitSide side = LimitSide::High;
    bool operator==(const AlarmLine &) const = default;
    bool tellsOfSameExceedance(const AlarmLine &other) const
    {
        return level == other.level && figure == other.figure && side == other.side;
    }
};

// What the alarm strip shows and when the tone sounds, as engine monitors
// do it: a new exceedance flashes until acknowledged, then stays steady
// while it lasts, and goes when it ends. A new alarm sounds the tone, again
// every few seconds until acknowledged.
class AlarmAnnunciator : public QObject {
    Q_OBJECT
public:
    static constexpr int flashIntervalMs = 250;
    static constexpr int ticksBetweenTones = 8;

    explicit AlarmAnnunciator(ExceedanceWatch &watch, QObject *parent = nullptr);

    std::vector<AlarmLine> lines(TemperatureScale scale = TemperatureScale::Celsius) const;
    bool unacknowledged() const { return awaitingAcknowledgement; }
    // False during the dark half of a flash.
    bool lit() const { return !awaitingAcknowledgement || flashLit; }
    bool muted() const { return isMuted; }

    void acknowledge();
    void setMuted(bool muted);
    // One flash step: the texts' durations, the flash and the tone's repeat.
    void tick();

    // Sounds and stops the tone; set by whoever owns the audio.
    std::function<void()> soundTone = [] {};
    std::function<void()> stopTone = [] {};

signals:
    void changed();

private:
    void started(const Exceedance &exceedance);
    void ended();
    bool alarmActive() const;

    ExceedanceWatch &watch;
    QTimer flashTimer;
    bool awaitingAcknowledgement = false;
    bool flashLit = true;
    bool isMuted = false;
    int ticksSinceTone = 0;
};
