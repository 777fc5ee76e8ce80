// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/paced_writer.h"

#include <algorithm>
#include <limits>

qint64 byteBudget(Nanos now, Nanos lineFreeAt, Nanos perByte)
{
    if (now < lineFreeAt)
        return 0;
    if (perByte.count() <= 0)
        return std::numeric_limits<qint64>::max();
    return (now - lineFreeAt) / perByte + 1;
}

PacedWriter::PacedWriter(Nanos perByte) : perByte(perByte)
{
}

bool PacedWriter::queue(QByteArrayView chunk, Nanos now)
{
    if (chunk.isEmpty())
        return true;
    if (queued + chunk.size() > capacity)
        return false;
    // An idle line earns no credit for the time it stood idle.
    if (chunks.empty())
        lineFreeAt = std::max(lineFreeAt, now);
    chunks.emplace_back(chunk.toByteArray());
    queued += chunk.size();
    return true;
}

QByteArray PacedWriter::take(Nanos now)
{
    QByteArray due;
    lineFreeAt = std::max(lineFreeAt, now - catchUpLimit);
    while (!chunks.empty()) {
        const qint64 budget = byteBudget(now, lineFreeAt, perByte);
        if (budget <= 0)
            break;
        const QByteArray &front = chunks.front();
        const qsizetype count = qsizetype(std::min<qint64>(budget, front.size() - sentOfFront));
        due.append(front.constData() + sentOfFront, count);
        sentOfFront += count;
        queued -= count;
        lineFreeAt += perByte * count;
        if (sentOfFront < front.size())
            break;
        chunks.pop_front();
        sentOfFront = 0;
    }
    return due;
}

void PacedWriter::clear()
{
    chunks.clear();
    sentOfFront = 0;
    queued = 0;
}
