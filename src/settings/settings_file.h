// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

// A unit's settings as a plain text file a person can read, diff and mail:
// a commented header, then one "name = value" line per setting with the raw
// value the unit holds and, as a comment, what the window shows.
struct SettingsHeader {
    QString program;  // "torvane-console 0.1"
    QDateTime savedAt; // local time; written with its UTC offset
    QString port;     // "COM1 (/dev/ttyUSB0)"
    QString firmware; // the revision as the unit reported it; empty when unknown
};

struct SettingsFile {
    SettingsHeader header;
    // Raw values; empty for a setting the file leaves out.
    std::array<std::optional<int>, settingCount> values{};
    // What the unit reported for a setting when it lay outside the setting's
    // range: kept as a comment only, so that no later apply sends it.
    std::array<std::optional<int>, settingCount> reportedOutOfRange{};
    // A read-only figure, kept as a comment; empty when unknown.
    QString maxTemperature;
};

// Larger files are refused unread.
inline constexpr qint64 maximumSettingsFileBytes = 64 * 1024;

// The header's firmware, when empty, is the one the unit reported.
SettingsFile settingsOfUnit(const UnitState &unit, const SettingsHeader &header);
QByteArray formatSettingsFile(const SettingsFile &file);

// Either a file or an error naming the file and, where it applies, the line:
// "FILE: line 7: max_rpm = 17 is outside 0 to 16".
struct SettingsFileReading {
    std::optional<SettingsFile> file;
    QString error;
};
SettingsFileReading readSettingsFile(const QString &path);
SettingsFileReading parseSettingsFile(const QByteArray &text, const QString &fileName);
