// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/tick_plan.h"

#include <algorithm>
#include <cmath>

TickPlan planTicks(double low, double high, int target)
{
    TickPlan plan;
    const double span = high - low;
    if (!(span > 0.0) || !std::isfinite(span) || target < 1)
        return plan;
    static constexpr double multipliers[] = {1.0, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0};
    static constexpr int minors[] = {5, 4, 5, 3, 4, 5, 3};
    const double base = std::pow(10.0, std::floor(std::log10(span / target)));
    double bestScore = 1e300;
    for (double scale : {base * 0.1, base, base * 10.0}) {
        for (int m = 0; m < 7; ++m) {
            const double step = multipliers[m] * scale;
            const double count = span / step;
            if (count < 2.0 || count > 2.0 * target + 2.0)
                continue;
            const bool exact = std::fabs(count - std::round(count)) < 1e-7 * count;
            const bool preferred = multipliers[m] == 1.0 || multipliers[m] == 2.0 || multipliers[m] == 5.0;
            const double score = std::fabs(count - target) + (exact ? 0.0 : 3.0) + (preferred ? 0.0 : 0.5);
            if (score < bestScore) {
                bestScore = score;
                plan.step = step;
                plan.minorPerMajor = minors[m];
                const int digits = int(std::floor(std::log10(step) + 1e-9));
                plan.decimals = std::max(0, -digits + (multipliers[m] == 2.5 ? 1 : 0));
            }
        }
    }
    return plan;
}

QString tickLabel(double value, const TickPlan &plan)
{
    if (std::fabs(value) < plan.step * 1e-9)
        value = 0.0;
    return QString::number(value, 'f', plan.decimals);
}
