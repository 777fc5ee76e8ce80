// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/recorded_lines.h"

void RecordedLines::append(QByteArrayView field, bool quoted)
{
    if (!quoted) {
        text += field;
    } else {
        for (qsizetype i = 0; i < field.size(); ++i) {
            text += field[i];
            i += field[i] == '"'; // the second of a doubled quote
        }
    }
    ends.push_back(uint32_t(text.size()));
}

QByteArrayView RecordedLines::at(size_t row) const
{
    const uint32_t begin = row == 0 ? 0 : ends[row - 1];
    return QByteArrayView(text).sliced(begin, ends[row] - begin);
}

void RecordedLines::truncate(size_t rows)
{
    if (rows >= ends.size())
        return;
    ends.resize(rows);
    text.truncate(rows == 0 ? 0 : ends.back());
}
