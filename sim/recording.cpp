// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/recording.h"

#include <algorithm>

// The caller keeps the whole text under 4 GB, so offsets fit.
void TimedLines::append(Nanos at, QByteArrayView line)
{
    entries.push_back({at.count(), std::uint32_t(text.size()), std::uint32_t(line.size())});
    text += line;
}

QByteArrayView TimedLines::line(qsizetype index) const
{
    const Entry &entry = entries[std::size_t(index)];
    return QByteArrayView(text).sliced(entry.offset, entry.size);
}

qsizetype TimedLines::lastAtOrBefore(Nanos time) const
{
    const auto later = std::upper_bound(
        entries.begin(), entries.end(), time.count(),
        [](std::int64_t t, const Entry &entry) { return t < entry.at; });
    return qsizetype(later - entries.begin()) - 1;
}
