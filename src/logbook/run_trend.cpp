// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/run_trend.h"

#include <algorithm>
#include <cmath>

namespace {

struct Spread {
    double mean = 0;
    double deviation = 0;
};

// Sample standard deviation: with as few as five runs the plain one would
// flag too eagerly.
Spread spreadOf(const std::vector<double> &series, size_t first, size_t last)
{
    const double count = double(last - first);
    double sum = 0;
    for (size_t i = first; i < last; ++i)
        sum += series[i];
    Spread spread;
    spread.mean = sum / count;
    double squares = 0;
    for (size_t i = first; i < last; ++i)
        squares += (series[i] - spread.mean) * (series[i] - spread.mean);
    spread.deviation = std::sqrt(squares / (count - 1));
    return spread;
}

double flooredDeviation(const Spread &spread)
{
    return std::max({spread.deviation, trendLeastDeviation,
                     trendLeastRelativeDeviation * std::abs(spread.mean)});
}

} // namespace

QString trendFigureName(TrendFigure figure)
{
    switch (figure) {
    case TrendFigure::PeakTemperature:
        return QStringLiteral("Peak temperature");
    case TrendFigure::CrankingVolts:
        return QStringLiteral("Cranking volts");
    case TrendFigure::PeakRpm:
        return QStringLiteral("Peak RPM");
    }
    return {};
}

std::optional<float> trendValue(const LoggedRun &run, TrendFigure figure)
{
    switch (figure) {
    case TrendFigure::PeakTemperature:
        return run.peakTemperature;
    case TrendFigure::CrankingVolts:
        return run.crankingVolts;
    case TrendFigure::PeakRpm:
        return run.peakRpm;
    }
    return std::nullopt;
}

std::vector<TrendOutlier> trendOutliers(const std::vector<double> &series)
{
    std::vector<TrendOutlier> outliers;
    for (size_t index = size_t(trendLeastRuns); index < series.size(); ++index) {
        const size_t first = index - std::min(index, size_t(trendWindowRuns));
        const Spread spread = spreadOf(series, first, index);
        const double deviations = (series[index] - spread.mean) / flooredDeviation(spread);
        if (std::abs(deviations) > trendDeviations)
            outliers.push_back({index, series[index], spread.mean, deviations});
    }
    return outliers;
}
