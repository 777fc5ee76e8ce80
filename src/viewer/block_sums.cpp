// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/block_sums.h"

#include <algorithm>
#include <cmath>

BlockSums::BlockSums(const std::vector<float> &column)
{
    extend(column);
}

void BlockSums::extend(const std::vector<float> &column)
{
    const size_t wholeBlocks = column.size() / blockRows;
    for (size_t block = totals.size() - 1; block < wholeBlocks; ++block) {
        Total next = totals.back();
        add(next, column, block * blockRows, (block + 1) * blockRows);
        totals.push_back(next);
    }
}

std::optional<double> BlockSums::mean(const std::vector<float> &column, size_t first,
                                      size_t last) const
{
    last = std::min(last, column.size());
    Total total;
    const size_t firstBoundary = (first + blockRows - 1) / blockRows;
    const size_t lastBoundary = last / blockRows;
    if (first >= last) {
        return std::nullopt;
    } else if (firstBoundary >= lastBoundary) {
        add(total, column, first, last);
    } else {
        add(total, column, first, firstBoundary * blockRows);
        total.sum += totals[lastBoundary].sum - totals[firstBoundary].sum;
        total.count += totals[lastBoundary].count - totals[firstBoundary].count;
        add(total, column, lastBoundary * blockRows, last);
    }
    if (total.count == 0)
        return std::nullopt;
    return total.sum / double(total.count);
}

void BlockSums::add(Total &total, const std::vector<float> &column, size_t first, size_t last)
{
    for (size_t row = first; row < last; ++row) {
        if (!std::isnan(column[row])) {
            total.sum += column[row];
            ++total.count;
        }
    }
}
