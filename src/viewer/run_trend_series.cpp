// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/run_trend_series.h"

#include "logbook/logbook_text.h"
#include "viewer/value_text.h"

#include <algorithm>
#include <cmath>

namespace {

void showIn(TrendSeries &series, TemperatureScale scale)
{
    series.scale = scale;
    if (series.figure != TrendFigure::PeakTemperature)
        return;
    for (TrendPoint &point : series.points)
        point.value = shownTemperature(point.value, scale);
    for (TrendOutlier &outlier : series.outliers) {
        outlier.value = shownTemperature(outlier.value, scale);
        outlier.mean = shownTemperature(outlier.mean, scale);
    }
}

} // namespace

TrendSeries trendSeries(const Logbook &logbook, TrendFigure figure, TemperatureScale scale)
{
    TrendSeries series;
    series.figure = figure;
    for (size_t r = 0; r < logbook.recordings.size(); ++r) {
        const std::vector<LoggedRun> &runs = logbook.recordings[r].runs;
        for (size_t run = 0; run < runs.size(); ++run)
            if (const std::optional<float> value = trendValue(runs[run], figure))
                series.points.push_back({{r, run}, runs[run].start, *value});
    }
    // Recordings are listed by path, which need not follow the clock.
    std::stable_sort(series.points.begin(), series.points.end(),
                     [](const TrendPoint &a, const TrendPoint &b) { return a.start < b.start; });
    std::vector<double> values;
    values.reserve(series.points.size());
    for (const TrendPoint &point : series.points)
        values.push_back(point.value);
    series.outliers = trendOutliers(values);
    showIn(series, scale);
    return series;
}

QString trendUnit(TrendFigure figure, TemperatureScale scale)
{
    switch (figure) {
    case TrendFigure::PeakTemperature: return temperatureUnit(scale);
    case TrendFigure::CrankingVolts: return QStringLiteral("V");
    case TrendFigure::PeakRpm: return {};
    }
    return {};
}

QString outlierLine(const TrendSeries &series, const TrendOutlier &outlier)
{
    QString name = trendFigureName(series.figure);
    if (name.size() > 1 && name[1].isLower()) // "Peak RPM" -> "peak RPM"
        name[0] = name[0].toLower();
    const QString unit = trendUnit(series.figure, series.scale);
    const QString value = unit.isEmpty() ? figureText(outlier.value)
                                         : QStringLiteral("%1 %2").arg(figureText(outlier.value), unit);
    const int compared = int(std::min(outlier.index, size_t(trendWindowRuns)));
    return QStringLiteral("Run %1: %2 %3, %4 standard deviations %5 its last %6 runs")
        .arg(runStartText(series.points[outlier.index].start), name, value)
        .arg(std::abs(outlier.deviations), 0, 'f', 1)
        .arg(QLatin1String(outlier.deviations < 0 ? "below" : "above"))
        .arg(compared);
}
