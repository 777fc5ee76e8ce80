// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"
#include "limits/limits_file.h"
#include "recording/recorded_values.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>
#include <vector>

class UnitLink;
struct DecodedLine;

// Follows a live link and tells of the exceedances as they start and end.
// It hears the same rows the recorder writes, each at the link clock's
// seconds since the watch began, so the events are those exceedancesIn
// finds in the recording. On-delays also run out on time alone: a timer
// (or a test, through checkDelays) moves the detector on between rows.
class ExceedanceWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int checkMs = 100;

    ExceedanceWatch(UnitLink &link, std::optional<EngineLimits> userLimits,
                    QObject *parent = nullptr);

    // Without user limits: the figures the file names take what it says, the
    // others the defaults from the unit's settings, as they are read.
    void setLimitsFile(std::optional<LimitsFile> file);
    // What applies now.
    EngineLimits limits() const { return applied; }
    // What applies without a limits file: from the unit's settings as read.
    EngineLimits defaults() const;
    std::vector<Exceedance> active() const { return detector.active(); }
    std::optional<double> latest(Figure figure) const;
    double nowSeconds() const;

    // Timer tick; public so tests can drive it.
    void checkDelays();

signals:
    void exceedanceStarted(const Exceedance &exceedance);
    void exceedanceEnded(const Exceedance &exceedance);

private:
    void handleLine(const DecodedLine &line);
    void connectionLost();
    EngineLimits limitsNow() const;
    void applyLimits();
    void announce(const std::vector<ExceedanceChange> &changes);

    UnitLink &link;
    std::optional<EngineLimits> user;
    std::optional<LimitsFile> file;
    EngineLimits applied;
    ExceedanceDetector detector;
    FigureValues values;
    // As of the last row: the "x" and "w" replies change `values` between rows.
    FigureValues rowValues;
    std::chrono::steady_clock::time_point began;
    QTimer delayTimer;
};
