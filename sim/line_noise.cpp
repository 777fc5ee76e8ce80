// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/line_noise.h"

#include <algorithm>
#include <cmath>

LineNoise::LineNoise(double probability, std::uint64_t seed)
    : probability(std::isfinite(probability) ? std::clamp(probability, 0.0, 1.0) : 0.0),
      random(seed)
{
}

QByteArray LineNoise::beforeLine()
{
    if (probability <= 0 || !std::bernoulli_distribution(probability)(random))
        return {};
    const int length = std::uniform_int_distribution<int>(1, longestBurst)(random);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray burst;
    for (int i = 0; i < length; ++i)
        burst.append(char(byte(random)));
    return burst;
}
