// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/min_max_pyramid.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t fanOut = 8;
constexpr float infinity = std::numeric_limits<float>::infinity();
// Empty, and neutral for min and max, so blocks combine without NaN checks.
constexpr MinMaxPyramid::Range nothing{infinity, -infinity};

void include(MinMaxPyramid::Range &range, float value)
{
    // NaN compares false both ways and is left out.
    if (value < range.minimum)
        range.minimum = value;
    if (value > range.maximum)
        range.maximum = value;
}

void include(MinMaxPyramid::Range &range, const MinMaxPyramid::Range &block)
{
    range.minimum = std::min(range.minimum, block.minimum);
    range.maximum = std::max(range.maximum, block.maximum);
}

size_t blocksFor(size_t entries)
{
    return (entries + fanOut - 1) / fanOut;
}

// Recomputes blocks `from` on of a level from the entries below it.
template <typename Entries>
void rebuild(std::vector<MinMaxPyramid::Range> &level, const Entries &below, size_t from)
{
    level.resize(blocksFor(below.size()));
    for (size_t block = from; block < level.size(); ++block) {
        MinMaxPyramid::Range range = nothing;
        const size_t end = std::min(below.size(), (block + 1) * fanOut);
        for (size_t i = block * fanOut; i < end; ++i)
            include(range, below[i]);
        level[block] = range;
    }
}

} // namespace

MinMaxPyramid::MinMaxPyramid(const std::vector<float> &column)
{
    extend(column);
}

void MinMaxPyramid::extend(const std::vector<float> &column)
{
    // From the block that holds the first new row up: a partial last block
    // is built again with the rows added to it.
    size_t from = rows / fanOut;
    if (column.size() < rows) { // not appended to: start afresh
        levels.clear();
        from = 0;
    }
    rows = column.size();
    if (column.empty()) {
        levels.clear();
        return;
    }
    if (levels.empty())
        levels.emplace_back();
    rebuild(levels[0], column, from);
    for (size_t k = 1; levels[k - 1].size() > 1; ++k) {
        if (levels.size() == k) {
            levels.emplace_back();
            from = 0;
        } else {
            from /= fanOut;
        }
        rebuild(levels[k], levels[k - 1], from);
    }
}

MinMaxPyramid::Range MinMaxPyramid::query(const std::vector<float> &column, size_t first,
                                          size_t last) const
{
    Range range = nothing;
    last = std::min(last, column.size());
    // Raw rows at the ragged ends, then each level's ragged ends, until the
    // rest fits in no whole block of the level above.
    const auto walk = [&](const auto &entries, size_t &low, size_t &high) {
        const size_t lowBlock = blocksFor(low);
        const size_t highBlock = high / fanOut;
        if (lowBlock >= highBlock) {
            for (size_t i = low; i < high; ++i)
                include(range, entries[i]);
            return false;
        }
        for (size_t i = low; i < lowBlock * fanOut; ++i)
            include(range, entries[i]);
        for (size_t i = highBlock * fanOut; i < high; ++i)
            include(range, entries[i]);
        low = lowBlock;
        high = highBlock;
        return true;
    };
    if (first >= last)
        return range;
    if (column.size() != rows) {
        // Not brought up to date: still right, only slower.
        for (size_t i = first; i < last; ++i)
            include(range, column[i]);
        return range;
    }
    if (!walk(column, first, last))
        return range;
    for (size_t k = 0; k < levels.size() && walk(levels[k], first, last); ++k) {
    }
    return range;
}

void MinMaxPyramid::prefetch(const std::vector<float> &column, size_t row) const
{
    // The upper levels are small enough to stay in the cache.
    constexpr size_t levelsFarAway = 2;
    if (row >= column.size() || column.size() != rows)
        return;
    __builtin_prefetch(column.data() + row);
    size_t entry = row;
    for (size_t k = 0; k < std::min(levels.size(), levelsFarAway); ++k) {
        entry /= fanOut;
        __builtin_prefetch(levels[k].data() + entry);
    }
}
