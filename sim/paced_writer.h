// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <chrono>
#include <deque>

using Nanos = std::chrono::nanoseconds;

// 9600 baud, 8N1: a start bit, eight data bits and a stop bit per byte.
inline constexpr int lineBaud = 9600;
inline constexpr int bitsPerByte = 10;
// Rounded up, so pacing errs on the slow side.
inline constexpr Nanos byteTime{(1'000'000'000LL * bitsPerByte + lineBaud - 1) / lineBaud};
inline constexpr int telemetryLineBytes = 20;
inline constexpr double maxTelemetryRate = double(lineBaud) / bitsPerByte / telemetryLineBytes;

// How many bytes may start by `now` on a line whose next byte may start at
// `lineFreeAt`, one byte every `perByte`. A zero `perByte` means no pacing.
qint64 byteBudget(Nanos now, Nanos lineFreeAt, Nanos perByte);

// Hands out queued chunks no faster than a 9600-baud line would carry them,
// back to back. Time is passed in, never read.
class PacedWriter {
public:
    // A late timer may catch up this much, and no more, in one go.
    static constexpr Nanos catchUpLimit{3'000'000};
    static constexpr qsizetype capacity = 4096;

    explicit PacedWriter(Nanos perByte);

    // False (and nothing queued) when the queue is full.
    bool queue(QByteArrayView chunk, Nanos now);
    // The bytes due by `now`; the caller writes them out at once.
    QByteArray take(Nanos now);

    bool isIdle() const { return chunks.empty(); }
    qsizetype queuedBytes() const { return queued; }
    void clear();

private:
    Nanos perByte;
    Nanos lineFreeAt{0};
    std::deque<QByteArray> chunks;
    qsizetype sentOfFront = 0;
    qsizetype queued = 0;
};
