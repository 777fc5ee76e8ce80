// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/usb_adapter.h"

#include <algorithm>

UsbAdapter UsbAdapter::withLatency(Nanos latency, Nanos epoch)
{
    UsbAdapter adapter;
    if (latency <= Nanos(0))
        return adapter;
    adapter.mode = Mode::Latency;
    adapter.latency = std::min<Nanos>(latency, longestLatency);
    adapter.epoch = epoch;
    return adapter;
}

UsbAdapter UsbAdapter::withRandomSizes(qsizetype smallest, qsizetype largest, std::uint64_t seed)
{
    UsbAdapter adapter;
    adapter.mode = Mode::RandomSizes;
    // Bounded by the writer's queue, so that what is held stays bounded too.
    adapter.smallest = std::clamp<qsizetype>(smallest, 1, PacedWriter::capacity);
    adapter.largest = std::clamp<qsizetype>(largest, adapter.smallest, PacedWriter::capacity);
    adapter.random.seed(seed);
    adapter.nextSize = std::uniform_int_distribution<qsizetype>(adapter.smallest,
                                                                adapter.largest)(adapter.random);
    return adapter;
}

QList<QByteArray> UsbAdapter::pass(PacedWriter &line, Nanos now)
{
    QList<QByteArray> writes;
    switch (mode) {
    case Mode::Direct:
        if (QByteArray due = line.take(now); !due.isEmpty())
            writes.append(due);
        break;
    case Mode::Latency: {
        // Bytes that arrived before the timer expired leave together, even
        // when we look late.
        const qint64 period = now > epoch ? (now - epoch) / latency : 0;
        if (period > lastPeriod) {
            const Nanos expiry = epoch + latency * period;
            arrive(line.take(expiry), expiry, writes);
            release(held.size(), writes);
            lastPeriod = period;
        }
        arrive(line.take(now), now, writes);
        break;
    }
    case Mode::RandomSizes:
        arrive(line.take(now), now, writes);
        if (line.isIdle() && now - lastArrival >= quietFlush)
            release(held.size(), writes);
        break;
    }
    return writes;
}

void UsbAdapter::arrive(QByteArrayView bytes, Nanos now, QList<QByteArray> &writes)
{
    if (bytes.isEmpty())
        return;
    lastArrival = now;
    held.append(bytes);
    while (held.size() >= (mode == Mode::Latency ? packetBytes : nextSize))
        release(mode == Mode::Latency ? packetBytes : nextSize, writes);
}

void UsbAdapter::release(qsizetype count, QList<QByteArray> &writes)
{
    if (count <= 0)
        return;
    writes.append(held.first(count));
    held.remove(0, count);
    if (mode == Mode::RandomSizes)
        nextSize = std::uniform_int_distribution<qsizetype>(smallest, largest)(random);
}
