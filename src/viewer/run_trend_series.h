// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/run_trend.h"
#include "protocol/temperature_scale.h"
#include "viewer/run_place.h"

#include <QDateTime>
#include <QString>
#include <vector>

struct TrendPoint {
    RunPlace place;
    QDateTime start;
    double value = 0;
};

// One figure of a logbook's runs, run after run, and the runs that stand out,
// as shown: values (the outliers' too) in `scale`. Which runs stand out is
// judged on the stored values, whatever the scale.
struct TrendSeries {
    TrendFigure figure = TrendFigure::PeakTemperature;
    TemperatureScale scale = TemperatureScale::Celsius;
    std::vector<TrendPoint> points;      // in time order; runs without the figure left out
    std::vector<TrendOutlier> outliers;  // indices into points
};

TrendSeries trendSeries(const Logbook &logbook, TrendFigure figure,
                        TemperatureScale scale = TemperatureScale::Celsius);
// "deg C"; nothing where the figure's name says it ("Peak RPM").
QString trendUnit(TrendFigure figure, TemperatureScale scale);
// "Run 2026-12-09 07:31:05 +01:00: peak temperature 212 deg C, 2.6 standard
// deviations above its last 10 runs".
QString outlierLine(const TrendSeries &series, const TrendOutlier &outlier);
