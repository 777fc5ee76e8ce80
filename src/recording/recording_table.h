// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"
#include "recording/recorded_lines.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class QIODevice;

// A recording read back: each figure a column of numbers, no object per row,
// so that ten hours at the full line rate (1.7 million rows) fit in well
// under 150 MB.

// What a load keeps of each row besides its seconds.
enum class RowContent {
    // For viewing: the start time and every figure, all of which the header
    // must name.
    Figures,
    // For a replay: the "line" field; the header needs only "seconds" and
    // "line", and the other columns go unread.
    Lines,
};

struct RecordingTable {
    RowContent content = RowContent::Figures;
    // Local time of the first row, with its UTC offset; the rows' clock times
    // are this plus their seconds.
    QDateTime start;
    // Seconds since the file began, one per row, never decreasing.
    std::vector<double> seconds;
    // Each figure per row; NaN where the field was empty. Empty columns when
    // the load kept lines.
    std::array<std::vector<float>, figureCount> figures;
    // Each row's "line" field; empty unless the load kept lines.
    RecordedLines lines;
    // Where each row starts in the file, and where the rows end: exporting a
    // range copies the bytes as they stand.
    std::vector<uint32_t> rowOffsets;
    uint32_t endOffset = 0;
    // The header line as read, line end included: appended rows are read by
    // its columns, and a file that no longer starts with it is another file.
    QByteArray header;

    size_t rows() const { return seconds.size(); }
};

// Reads a recording, or appends to `table` the rows a growing recording has
// gained since it was last read (from table.endOffset on).
struct RecordingLoad {
    // "FILE: line N: reason"; nothing is usable then. A failed loadNewRows
    // leaves the table as it was.
    QString error;
    bool lastRowIncomplete = false; // the file ends mid-row (a killed console, a full disk)
    bool ok() const { return error.isEmpty(); }
};
inline constexpr qint64 largestViewedRecordingBytes = 2'000'000'000;
// About 2 GB of rows as the console writes them; bounds the columns (40
// bytes a row) whatever a file holds.
inline constexpr size_t mostRecordingRows = 32'000'000;

// A year: longer than any logger stays connected, and small enough that
// milliseconds stay exact in a double and nanoseconds slowed down a hundred
// times (a replay at --speed 0.01) still fit in 64 bits.
inline constexpr double longestRecordingSeconds = 366 * 86400.0;
// A figure comes from a 16-bit field of the unit's, read signed or not.
inline constexpr float lowestFigure = -32768;
inline constexpr float highestFigure = 65535;

RecordingLoad loadRecording(const QString &path, RecordingTable &table,
                            RowContent content = RowContent::Figures);
// The same from an open device (bytes that are no file); `name` stands for
// the file in messages.
RecordingLoad readRecording(QIODevice &input, const QString &name, RecordingTable &table,
                            RowContent content = RowContent::Figures);
// Adds the rows completed since the last load; a no-op when none.
RecordingLoad loadNewRows(const QString &path, RecordingTable &table);
