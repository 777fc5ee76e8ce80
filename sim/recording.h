// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>
#include <cstdint>
#include <vector>

// Lines with the time each came, in order, packed into one buffer: a
// recording of hours holds millions of short lines.
class TimedLines {
public:
    using Nanos = std::chrono::nanoseconds;

    void append(Nanos at, QByteArrayView line);

    qsizetype size() const { return qsizetype(entries.size()); }
    bool isEmpty() const { return entries.empty(); }
    Nanos at(qsizetype index) const { return Nanos(entries[std::size_t(index)].at); }
    QByteArrayView line(qsizetype index) const;
    // The last line that came at or before `time`; -1 when none did.
    qsizetype lastAtOrBefore(Nanos time) const;

private:
    struct Entry {
        std::int64_t at;
        std::uint32_t offset;
        std::uint32_t size;
    };

    QByteArray text;
    std::vector<Entry> entries;
};

// What a replay sends: the telemetry lines, and the "p" replies that tell
// the propeller's angle, timed from the start of the recording.
struct Recording {
    TimedLines telemetry;
    TimedLines propeller;
};
