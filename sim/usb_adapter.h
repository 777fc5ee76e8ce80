// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/paced_writer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <chrono>
#include <cstdint>
#include <random>

// The USB serial adapter between the unit and the console: it takes bytes
// off the line as they arrive and hands them to the host in writes whose
// sizes and times depend on the chip. Time is passed in, never read.
class UsbAdapter {
public:
    // An FTDI chip sends a full USB packet at once: 64 bytes, 2 of them status.
    static constexpr qsizetype packetBytes = 62;
    static constexpr std::chrono::milliseconds longestLatency{255};
    // With random sizes, what is left goes once the line has been quiet this long.
    static constexpr Nanos quietFlush{2'000'000};

    // Each byte goes on as it arrives, as when the host polls every millisecond
    // (PL2303, CH340, CP210x).
    UsbAdapter() = default;
    // Bytes are held until the latency timer expires, every `latency` from
    // `epoch`, or a packet is full (FTDI).
    static UsbAdapter withLatency(Nanos latency, Nanos epoch);
    // Writes of `smallest`..`largest` bytes, each made once that many have arrived.
    static UsbAdapter withRandomSizes(qsizetype smallest, qsizetype largest, std::uint64_t seed);

    // Takes what `line` carries by `now`; the writes the host sees, in order.
    QList<QByteArray> pass(PacedWriter &line, Nanos now);
    bool isHolding() const { return !held.isEmpty(); }
    void clear() { held.clear(); }

private:
    enum class Mode { Direct, Latency, RandomSizes };

    void arrive(QByteArrayView bytes, Nanos now, QList<QByteArray> &writes);
    void release(qsizetype count, QList<QByteArray> &writes);

    Mode mode = Mode::Direct;
    Nanos latency{0};
    Nanos epoch{0};
    qint64 lastPeriod = 0;
    qsizetype smallest = 1;
    qsizetype largest = 1;
    qsizetype nextSize = 1;
    std::mt19937_64 random;
    Nanos lastArrival{0};
    QByteArray held;
};
