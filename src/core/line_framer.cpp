// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/line_framer.h"

namespace {

qsizetype nextTerminator(const QByteArray &buffer, qsizetype from)
{
    for (qsizetype i = from; i < buffer.size(); ++i) {
        if (buffer[i] == '\r' || buffer[i] == '\n')
            return i;
    }
    return -1;
}

} // namespace

QList<QByteArray> LineFramer::take(QByteArrayView bytes)
{
    pending.append(bytes);
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype end; (end = nextTerminator(pending, start)) >= 0; start = end + 1) {
        if (end > start)
            lines.append(pending.sliced(start, end - start + 1));
    }
    pending.remove(0, start);
    if (pending.size() > maxPending)
        pending.clear();
    return lines;
}
