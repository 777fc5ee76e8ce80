// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The user's limits as a plain text file of "name = value" lines, like the
// settings files: "rpm.high_alarm = 3000", "rpm.high_alarm_delay = 2",
// "volts.deadband = 0.5", "advance.high_alarm = none". Values are in each
// figure's stored units (temperatures in deg C).
struct LimitsFile {
    // What the file says for each figure it names; empty for the others.
    std::array<std::optional<FigureLimits>, figureCount> figures{};

    // A figure the file names takes exactly what the file says, the others
    // keep `defaults`.
    EngineLimits over(const EngineLimits &defaults) const;
    bool operator==(const LimitsFile &) const = default;
};

// Names every figure, so that the file alone gives `limits`.
LimitsFile limitsFileOf(const EngineLimits &limits);

// Larger files are refused unread.
inline constexpr qint64 maximumLimitsFileBytes = 64 * 1024;

// Either a file or "FILE: line N: reason"; nothing half-read.
struct LimitsFileReading {
    std::optional<LimitsFile> file;
    QString error;
};
LimitsFileReading readLimitsFile(const QString &path);
LimitsFileReading parseLimitsFile(const QByteArray &text, const QString &fileName);
QByteArray formatLimitsFile(const LimitsFile &file);

// ~/.config/torvane-console/limits.txt, for the console and the logger alike.
QString defaultLimitsFilePath();
// The limits a program starts with: the file it was given, else the default
// file when there is one. A window or a logger stops for a given file that
// does not read, but a bad default file costs only its own limits.
struct StartingLimits {
    std::optional<LimitsFile> file;
    QString error; // "FILE: line N: reason" when the file does not read
    bool given = false;
    bool mustStop() const { return given && !error.isEmpty(); }
    // What to say on stderr and carry on with, for a bad default file.
    QString warning() const;
};
StartingLimits startingLimits(const QString &given);
