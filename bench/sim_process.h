// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>

// The simulated unit as a program of its own, serving a pseudo-terminal
// named by a symbolic link: its timing never waits for the console's event
// loop, which the paced start-up blocks for 0.25 s at a time.
class SimProcess {
public:
    using Clock = std::chrono::steady_clock;

    ~SimProcess() { stop(); }

    // Returns once the device is there (the simulator prints its path when
    // it is); false, with the reason in error(), if it never is.
    bool start(const QString &program, const QString &link, const QStringList &arguments);
    // Just after the simulator's own clock started: its --mute-after and
    // --vanish-after count from a moment shortly before this.
    Clock::time_point startedAt() const { return started; }
    // Bounded: false if it is still running after `limit`.
    bool waitForExit(std::chrono::milliseconds limit);
    void stop();
    QString error() const { return failure; }

private:
    QProcess process;
    Clock::time_point started;
    QString failure;
};
