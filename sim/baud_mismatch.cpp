// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/baud_mismatch.h"

#include <vector>

namespace {

constexpr int dataBits = 8;
constexpr int oversampling = 16;

// The sender's line, one level per bit: idle high, then per byte a start
// bit, the data bits LSB first and a stop bit.
std::vector<bool> senderWaveform(QByteArrayView bytes)
{
    std::vector<bool> levels;
    levels.reserve(std::size_t(bytes.size()) * (dataBits + 2));
    for (const char byte : bytes) {
        levels.push_back(false);
        for (int bit = 0; bit < dataBits; ++bit)
            levels.push_back((quint8(byte) >> bit) & 1);
        levels.push_back(true);
    }
    return levels;
}

// Time runs in ticks of 1 / (senderBaud * receiverBaud * 16) s, so that both
// bit times and the receiver's sampling step are whole numbers of ticks.
class Line {
public:
    Line(QByteArrayView bytes, qint64 bitTicks) : levels(senderWaveform(bytes)), bitTicks(bitTicks)
    {
    }

    // A sample on a transition reads the new level, as a receiver whose
    // clock lags the sender's by a hair would.
    bool isHighAt(qint64 tick) const
    {
        const qint64 bit = tick / bitTicks;
        return bit >= qint64(levels.size()) || levels[std::size_t(bit)];
    }
    qint64 end() const { return qint64(levels.size()) * bitTicks; }

private:
    std::vector<bool> levels;
    qint64 bitTicks;
};

// The data bits of the frame whose start edge the receiver saw at `edge`,
// each sampled in the middle of its bit time.
char sampleData(const Line &line, qint64 edge, qint64 bitTicks)
{
    int value = 0;
    for (int bit = 0; bit < dataBits; ++bit)
        value |= int(line.isHighAt(edge + bitTicks * (3 + 2 * bit) / 2)) << bit;
    return char(value);
}

} // namespace

QByteArray receivedAtBaud(QByteArrayView sent, int senderBaud, int receiverBaud)
{
    if (senderBaud <= 0 || receiverBaud <= 0)
        return {};
    const Line line(sent, qint64(receiverBaud) * oversampling);
    const qint64 receiverBit = qint64(senderBaud) * oversampling;
    const qint64 step = receiverBit / oversampling;
    const qint64 stopMiddle = receiverBit * (2 * (dataBits + 1) + 1) / 2;
    QByteArray received;
    bool wasHigh = true;
    for (qint64 tick = 0; tick < line.end(); tick += step) {
        const bool high = line.isHighAt(tick);
        if (high || !wasHigh) {
            wasHigh = high;
            continue;
        }
        received.append(sampleData(line, tick, receiverBit));
        // A bad stop bit still delivers the byte; the next start waits for
        // the line to go high first.
        tick += stopMiddle;
        wasHigh = line.isHighAt(tick);
    }
    return received;
}
