// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The mean of any range of a column in bounded time. A running total per row
// would take 12 bytes a row for each figure, more than the columns
// themselves; a running total per block of rows takes a few percent, and a
// query adds up at most a block's rows at either end.
class BlockSums {
public:
    static constexpr size_t blockRows = 64;

    BlockSums() = default;
    explicit BlockSums(const std::vector<float> &column);
    // Brings the totals up to date after rows were appended to the column.
    void extend(const std::vector<float> &column);
    // Of the values (not NaN) in rows first to last - 1; nothing when none.
    std::optional<double> mean(const std::vector<float> &column, size_t first,
                               size_t last) const;

private:
    struct Total {
        double sum = 0;
        uint64_t count = 0;
    };
    static void add(Total &total, const std::vector<float> &column, size_t first, size_t last);

    // Of the rows before each block boundary: totals[i] covers rows 0 to
    // i * blockRows - 1.
    std::vector<Total> totals{Total{}};
};
