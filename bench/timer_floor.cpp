// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt window with a 10 ms timer can cost on this machine: one
// shown window and one timer whose handler does nothing. scripts/measure
// gives every console CPU figure as a ratio to this program's, measured in
// the same run: the gauge timer ticks at that rate for the whole run, and
// what a wake-up costs changes with the machine and what else runs on it.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 200);
    window.show();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [] {});
    tick.start(10);
    return QApplication::exec();
}
