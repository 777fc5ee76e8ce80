// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/recording.h"

#include <QString>
#include <memory>

class QIODevice;

// The bounds that keep a huge or hostile file from filling memory.
inline constexpr qint64 largestRecordingBytes = 256LL * 1024 * 1024;
inline constexpr qsizetype mostRecordedLines = 2'000'000;
inline constexpr double longestRecordingSeconds = 1e7;

struct LoadedRecording {
    std::shared_ptr<const Recording> recording; // set when the file is good
    QString error; // names the file, and the line of a malformed row
};

// Reads the console's CSV recording by its header's "seconds" and "line"
// columns: rows whose line starts with "=" are telemetry, "p" and two hex
// digits a propeller reply; other rows are skipped.
LoadedRecording loadRecording(const QString &path);
// The same from an open device; `name` goes in the messages.
LoadedRecording readRecording(QIODevice &input, const QString &name);
