// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts received bytes into lines. A USB adapter hands over whatever arrived
// since its last poll, so one batch may hold several lines, end inside one,
// or start with the LF of a CR LF pair. Lines may end with CR, LF or CR LF;
// each comes out with its terminator, empty lines are dropped, and the
// unfinished rest waits for the next batch.
class LineFramer {
public:
    // No line of the unit comes near this length; an unfinished line past it
    // is noise on the line and is dropped so memory stays bounded.
    static constexpr qsizetype maxPending = 4096;

    QList<QByteArray> take(QByteArrayView bytes);
    void clear() { pending.clear(); }

private:
    QByteArray pending;
};
