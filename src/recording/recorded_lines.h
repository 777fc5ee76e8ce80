// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <vector>

// The "line" field of each row, unquoted, packed into one buffer: a replay
// holds millions of short lines. The reader keeps the text under its 2 GB
// file bound, so 32-bit offsets suffice.
class RecordedLines {
public:
    // `field` as the file holds it between its quotes, if it had any.
    void append(QByteArrayView field, bool quoted);
    QByteArrayView at(size_t row) const;
    size_t size() const { return ends.size(); }
    void truncate(size_t rows);

private:
    QByteArray text;
    std::vector<uint32_t> ends;
};
