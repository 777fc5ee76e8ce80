// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"
#include "link/qt_serial_port.h"
#include "offscreen.h"
#include "record/exceedance_watch.h"
#include "support/raw_pty.h"
#include "ui/alarm_strip.h"
#include "ui/console_alarms.h"
#include "ui/console_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>
#include <vector>

// The real console (offscreen window, QSerialPort) on a pseudo-terminal with
// an alarm limit on the engine speed: how long after the first line past the
// limit the strip shows the alarm, beyond the limit's on-delay, and how long
// a click on the strip takes to stop the flashing and the tone. A writer
// thread streams at the full line rate; the engine goes over the limit and
// back five times. Prints JSON: the worst of each.

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int rounds = 5;
constexpr int limitRpm = 3000;

QByteArray telemetry(int rpm)
{
    return QStringLiteral("=%1%2000082230000\r").arg(rpm, 4, 16, QLatin1Char('0'))
        .arg(30, 2, 16, QLatin1Char('0')).toUpper().toLatin1();
}

double msSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    QString slave;
    const int master = openRawPty(&slave);
    PortMap ports;
    ports.setDevice(1, slave);
    UnitLink link(new QtSerialPort(ports));
    ConsoleWindow window(link);
    EngineLimits limits;
    limits.of(Figure::Rpm).highAlarm = Limit{limitRpm, 1.0};
    ExceedanceWatch watch(link, limits);
    ConsoleAlarms alarms(window, watch, QString());
    window.show();
    window.clickPort(1);

    std::atomic<int> rpm{2500};
    std::atomic<bool> done{false};
    std::atomic<Clock::rep> crossedAt{0};
    std::thread unit([&] {
        while (!done) {
            const QByteArray line = telemetry(rpm);
            if (::write(master, line.constData(), size_t(line.size())) < 0)
                break;
            std::this_thread::sleep_for(20ms);
        }
    });

    std::vector<double> showing, acknowledging;
    AlarmAnnunciator &annunciator = alarms.annunciator();
    int round = 0;
    bool over = false;
    QTimer step;
    step.setSingleShot(true);
    auto nextRound = [&] {
        if (round++ == rounds) {
            QCoreApplication::quit();
            return;
        }
        rpm = 3200;
        crossedAt = Clock::now().time_since_epoch().count();
        over = true;
    };
    QObject::connect(&annunciator, &AlarmAnnunciator::changed, [&] {
        if (!over || window.alarmStrip->shownLines().empty())
            return;
        over = false;
        const Clock::time_point crossed{Clock::duration(crossedAt.load())};
        showing.push_back(msSince(crossed) - 1000);
        const Clock::time_point click = Clock::now();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.alarmStrip, &press);
        if (!annunciator.unacknowledged())
            acknowledging.push_back(msSince(click));
        rpm = 2500;
        step.start(2500);
    });
    QObject::connect(&step, &QTimer::timeout, nextRound);
    QTimer::singleShot(3000, nextRound);
    QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });
    const int status = app.exec();
    done = true;
    unit.join();
    ::close(master);
    if (status != 0 || showing.size() < rounds) {
        std::fprintf(stderr, "torvane-alarm-latency: %zu of %d alarms shown\n", showing.size(),
                     rounds);
        return 1;
    }
    const double worstShow = *std::max_element(showing.begin(), showing.end());
    const double worstAck = acknowledging.size() == showing.size()
                                ? *std::max_element(acknowledging.begin(), acknowledging.end())
                                : -1;
    std::printf("{\"show_beyond_delay_ms\": %.1f, \"acknowledge_ms\": %.2f, \"rounds\": %zu}\n",
                worstShow, worstAck, showing.size());
    return 0;
}
