// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/recording_exceedances.h"
#include "recording/recording_table.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

// How long the exceedance detector takes over a whole recording, with all
// four limits on every figure (at a tenth and a fifth of its gauge range from
// either end). Prints JSON: the median of three scans.

namespace {

EngineLimits limitOnEveryFigure()
{
    EngineLimits limits;
    for (const Figure figure : allFigures()) {
        const FigureInfo &info = figureInfo(figure);
        const double span = info.gaugeMaximum - info.gaugeMinimum;
        FigureLimits &f = limits.of(figure);
        f.lowAlarm = Limit{info.gaugeMinimum + span * 0.1};
        f.lowCaution = Limit{info.gaugeMinimum + span * 0.2};
        f.highCaution = Limit{info.gaugeMaximum - span * 0.2};
        f.highAlarm = Limit{info.gaugeMaximum - span * 0.1};
    }
    return limits;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: torvane-exceedance-scan RECORDING\n", stderr);
        return 2;
    }
    RecordingTable table;
    const RecordingLoad load = loadRecording(QString::fromLocal8Bit(argv[1]), table);
    if (!load.ok()) {
        std::fprintf(stderr, "torvane-exceedance-scan: %s\n", qPrintable(load.error));
        return 2;
    }
    const EngineLimits limits = limitOnEveryFigure();
    std::vector<double> times;
    size_t events = 0;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        events = exceedancesIn(table, limits).size();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("{\"median_ms\": %.1f, \"rows\": %zu, \"events\": %zu}\n", times[1], table.rows(),
                events);
    return 0;
}
