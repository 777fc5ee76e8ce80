// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdint>
#include <random>

// Random bytes on the line, as a poor cable picks up: before each line, with
// the given probability, a burst of one to eight arbitrary bytes.
class LineNoise {
public:
    static constexpr int longestBurst = 8;

    LineNoise(double probability, std::uint64_t seed);

    // The bytes to send ahead of the next line; usually none.
    QByteArray beforeLine();

private:
    double probability;
    std::mt19937_64 random;
};
