// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/recording.h"

#include <QString>
#include <memory>

class QIODevice;

// The bounds that keep a replay's copy of the lines small; the reader bounds
// the rest.
inline constexpr qint64 largestRecordingBytes = 256LL * 1024 * 1024;
inline constexpr qsizetype mostRecordedLines = 2'000'000;

struct LoadedRecording {
    std::shared_ptr<const Recording> recording; // set when the file is good
    QString error; // names the file, and the line of a malformed row
};

// Reads a recording's "seconds" and "line" columns through the console's
// reader: rows whose line starts with "=" are telemetry, "p" and two hex
// digits a propeller reply; other rows are skipped.
LoadedRecording openReplay(const QString &path);
// The same from an open device; `name` goes in the messages.
LoadedRecording readReplay(QIODevice &input, const QString &name);
