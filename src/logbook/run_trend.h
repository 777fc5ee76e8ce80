// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/logged_run.h"

#include <QString>
#include <optional>
#include <vector>

// A per-run figure that is followed from run to run.
enum class TrendFigure { PeakTemperature, CrankingVolts, PeakRpm };

QString trendFigureName(TrendFigure figure); // "Peak temperature", ...
std::optional<float> trendValue(const LoggedRun &run, TrendFigure figure);

// A run that looks unlike the ones before it.
struct TrendOutlier {
    size_t index = 0;          // into the series given
    double value = 0;
    double mean = 0;           // of the runs before it that were compared
    double deviations = 0;     // (value - mean) / their standard deviation, signed
};

// How many earlier runs a run is compared with, how many it needs at least,
// and how far it must stand out.
inline constexpr int trendWindowRuns = 10;
inline constexpr int trendLeastRuns = 5;
inline constexpr double trendDeviations = 2.0;
// The standard deviation a run is measured against is at least this, and at
// least this share of the mean: runs that all read the same would otherwise
// flag any change at all, even one step of the unit's whole numbers. After a
// flat series a run is flagged when it differs by more than 1 (two steps) and
// by more than 2 % of the mean (50 RPM at 2500).
inline constexpr double trendLeastDeviation = 0.5;
inline constexpr double trendLeastRelativeDeviation = 0.01;

// Runs (in time order, those without the figure left out beforehand) more
// than two standard deviations from the mean of the ten runs before them
// (the sample deviation, floored as above), outliers among those included.
// The first five runs are never flagged.
std::vector<TrendOutlier> trendOutliers(const std::vector<double> &series);
