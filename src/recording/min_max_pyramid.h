// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

// Minimum and maximum of any range of a column without walking it: levels of
// blocks of 8, 64, 512, ... rows, each with its minimum and maximum, so a
// query touches at most a few entries per level. NaN (an empty field) is
// left out; a range of nothing but NaN has no minimum or maximum.
class MinMaxPyramid {
public:
    struct Range {
        float minimum;
        float maximum;
        bool empty() const { return !(minimum <= maximum); }
    };

    MinMaxPyramid() = default;
    explicit MinMaxPyramid(const std::vector<float> &column);
    // Brings the pyramid up to date after rows were appended to the column.
    void extend(const std::vector<float> &column);
    // Rows first to last - 1.
    Range query(const std::vector<float> &column, size_t first, size_t last) const;
    // Asks the processor for what a query that starts or ends at `row` will
    // read, so that queries marching along a column overlap their waits for
    // memory with work instead of taking them one after another.
    void prefetch(const std::vector<float> &column, size_t row) const;

private:
    std::vector<std::vector<Range>> levels;
    size_t rows = 0; // of the column the levels were built from

};
