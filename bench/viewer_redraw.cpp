// SPDX-License-Identifier: GPL-3.0-or-later
#include "offscreen.h"
#include "viewer/overlay_alignment.h"
#include "viewer/recording_viewer.h"
#include "viewer/strip_chart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <vector>

// How long the viewer's strips take to redraw a recording, 1920 pixels wide,
// at zoom levels from the whole recording down to a second, each at the
// start, the middle and the end. Prints JSON: the worst level's median.
//
//   torvane-viewer-redraw RECORDING [SECOND]
//
// With a second recording, laid over the first by clock time, each view is
// drawn with it and, in turn, without: "worst_ms" is then the worst with it,
// "alone_worst_ms" the worst of the first alone on the same sweep.

namespace {

constexpr int width = 1920;
constexpr int height = 1080;
constexpr int repeats = 3;

double redrawMs(StripChart &chart, QImage &image)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        chart.render(&image);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[repeats / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    preferOffscreen();
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fputs("usage: torvane-viewer-redraw RECORDING [SECOND]\n", stderr);
        return 2;
    }
    QString error;
    RecordingViewer *viewer = RecordingViewer::open(QString::fromLocal8Bit(argv[1]), error);
    if (!viewer) {
        std::fprintf(stderr, "torvane-viewer-redraw: %s\n", qPrintable(error));
        return 2;
    }
    const bool withSecond = argc == 3;
    if (withSecond) {
        if (const QString problem = viewer->addOverlay(QString::fromLocal8Bit(argv[2]));
            !problem.isEmpty()) {
            std::fprintf(stderr, "torvane-viewer-redraw: %s\n", qPrintable(problem));
            return 2;
        }
        viewer->setOverlayAlignment(OverlayAlignment::ClockTime);
    }
    // The strips themselves 1920 pixels wide, the summary beside them.
    StripChart &chart = *viewer->stripChart();
    viewer->resize(width, height);
    viewer->show();
    QCoreApplication::processEvents();
    viewer->resize(2 * width - chart.width(), height);
    QCoreApplication::processEvents();
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    // A window's backing store lives on from frame to frame: first touches of
    // fresh memory are no part of a redraw.
    image.fill(Qt::white);
    const auto [first, last] = chart.visibleSeconds();

    double worst = 0;
    double aloneWorst = 0;
    int levels = 0;
    for (double span = last - first; span >= 1; span /= 2) {
        for (const double at : {first, (first + last - span) / 2, last - span}) {
            chart.setVisibleSeconds(at, at + span);
            worst = std::max(worst, redrawMs(chart, image));
            if (withSecond) {
                chart.setOverlay(nullptr);
                aloneWorst = std::max(aloneWorst, redrawMs(chart, image));
                chart.setOverlay(viewer->overlay());
            }
            ++levels;
        }
    }
    if (!withSecond)
        std::printf("{\"worst_ms\": %.2f, \"levels\": %d, \"width\": %d}\n", worst, levels,
                    chart.width());
    else
        std::printf("{\"worst_ms\": %.2f, \"alone_worst_ms\": %.2f, \"levels\": %d, "
                    "\"width\": %d}\n",
                    worst, aloneWorst, levels, chart.width());
    delete viewer;
    return 0;
}
