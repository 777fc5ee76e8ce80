// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/run_trend.h"
#include "viewer/run_place.h"

#include <QDateTime>
#include <QString>
#include <vector>

struct TrendPoint {
    RunPlace place;
    QDateTime start;
    double value = 0;
};

// One figure of a logbook's runs, run after run, and the runs that stand out.
struct TrendSeries {
    TrendFigure figure = TrendFigure::PeakTemperature;
    std::vector<TrendPoint> points;      // in time order; runs without the figure left out
    std::vector<TrendOutlier> outliers;  // indices into points
};

TrendSeries trendSeries(const Logbook &logbook, TrendFigure figure);
// "deg C"; nothing where the figure's name says it ("Peak RPM").
QString trendUnit(TrendFigure figure);
// "Run 2026-12-09 07:31:05 +01:00: peak temperature 212 deg C, 2.6 standard
// deviations above its last 10 runs".
QString outlierLine(const TrendSeries &series, const TrendOutlier &outlier);
