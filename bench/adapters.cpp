// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_tally.h"
#include "offscreen.h"
#include "link/qt_serial_port.h"
#include "sim_process.h"
#include "ui/color_button.h"
#include "core/unit_link.h"
#include "ui/console_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <optional>

// The real console (offscreen window, QSerialPort) against the simulated unit
// running as its own program, through the USB adapters users have and the
// faults they meet. Prints one "name value" line per figure. Every wait is
// bounded; a wait that runs out ends the run with status 1.
//
//   torvane-adapters SIM lines SECONDS [SIM OPTIONS]
//       numbered telemetry decoded out of sent, over SECONDS of a running engine
//   torvane-adapters SIM mute AFTER [SIM OPTIONS]
//       the unit goes mute AFTER seconds in; time to "No data from unit"
//   torvane-adapters SIM replug AFTER [SIM OPTIONS]
//       the device vanishes AFTER seconds in and comes back under the same
//       name; time from the click on COM1 to "Stream Mode"
//   torvane-adapters SIM reconnect AFTER [SIM OPTIONS]
//       the same, with no click: time from the device being back to
//       "Stream Mode"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Failure {
    QString reason;
};

double seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

Clock::duration secondsSpan(double value)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

void print(const char *name, double value)
{
    std::printf("%s %g\n", name, value);
    std::fflush(stdout);
}

const QString streamMode = QStringLiteral("Stream Mode");

struct Console {
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("unit"));
    std::unique_ptr<UnitLink> unitLink;
    std::unique_ptr<ConsoleWindow> window;
    QList<std::pair<QString, Clock::time_point>> statuses; // each text shown, and when

    Console()
    {
        PortMap ports;
        ports.setDevice(1, link);
        unitLink = std::make_unique<UnitLink>(new QtSerialPort(ports));
        window = std::make_unique<ConsoleWindow>(*unitLink);
        QObject::connect(unitLink.get(), &UnitLink::statusChanged, window.get(),
                         [this](const QString &text) { statuses.append({text, Clock::now()}); });
    }

    std::optional<Clock::time_point> shown(const QString &text, Clock::time_point since) const
    {
        for (const auto &[shownText, at] : statuses)
            if (at >= since && shownText == text)
                return at;
        return std::nullopt;
    }

    // Runs the event loop until `done` holds.
    void waitFor(const QString &what, const std::function<bool()> &done, Clock::duration limit)
    {
        QTimer wake; // wake-ups that do not depend on the window's own timers
        wake.start(20);
        const auto deadline = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > deadline)
                throw Failure{QStringLiteral("gave up waiting for %1 after %2 s (status \"%3\")")
                                  .arg(what)
                                  .arg(seconds(limit))
                                  .arg(unitLink->status())};
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }

    void waitForStatus(const QString &text, Clock::duration limit)
    {
        waitFor('"' + text + '"', [&] { return unitLink->status() == text; }, limit);
    }
};

void lines(Console &console, double window)
{
    UnitLink &link = *console.unitLink;
    console.window->clickPort(1);
    console.waitForStatus(streamMode, 30s);
    // Once the engine runs the poll cycle asks nothing, so the unit streams
    // at its full rate; it stands still for about 12 s first.
    auto engineRuns = [&link] { return link.state().engineRunning; };
    console.waitFor(QStringLiteral("the engine to run"), engineRuns, 40s);

    LineTally tally;
    const auto counting = QObject::connect(
        &link, &UnitLink::lineDecoded, &link,
        [&tally](const DecodedLine &line) { tally.add(line.text); });
    const auto start = Clock::now();
    bool ranThroughout = true;
    console.waitFor(
        QString(),
        [&] {
            ranThroughout = ranThroughout && engineRuns();
            return Clock::now() - start >= secondsSpan(window);
        },
        secondsSpan(window) + 5s);
    QObject::disconnect(counting);
    const double counted = seconds(Clock::now() - start);

    print("decoded", double(tally.seen));
    print("sent", double(tally.sent));
    print("misordered", double(tally.misordered));
    print("malformed", double(tally.malformed));
    print("other_lines", double(tally.others));
    print("lines_per_second", double(tally.sent) / counted);
    print("engine_ran_throughout", ranThroughout);
    // A chunked delivery must not make the console think the unit fell silent.
    print("stream_mode_kept", console.statuses.last().second < start);
}

void mute(Console &console, const SimProcess &unit, double after)
{
    UnitLink &link = *console.unitLink;
    console.window->clickPort(1);
    console.waitForStatus(streamMode, secondsSpan(after));

    // The moment the unit went mute is taken as the last byte the console
    // received: the unit streams without a gap, and mute cuts even the line
    // in progress.
    Clock::time_point lastByte{};
    std::optional<Clock::time_point> lastByteBeforeStatus;
    const QString noData = QStringLiteral("No data from unit - Port 1");
    QObject scope; // ends the connections below with this function
    QObject::connect(&link.port(), &SerialPort::bytesReceived, &scope,
                     [&] { lastByte = Clock::now(); });
    QObject::connect(&link, &UnitLink::statusChanged, &scope, [&](const QString &text) {
        if (text == noData && !lastByteBeforeStatus)
            lastByteBeforeStatus = lastByte;
    });
    console.waitForStatus(noData, secondsSpan(after) + 10s);

    const Clock::time_point shownAt = *console.shown(noData, unit.startedAt());
    const Clock::time_point scheduled = unit.startedAt() + secondsSpan(after);
    print("mute_to_no_data_s", seconds(shownAt - *lastByteBeforeStatus));
    // Near 0 when the stream ran up to the mute. The simulator's clock starts
    // a little before startedAt(), so it reads a little below.
    print("last_byte_after_schedule_ms", 1000 * seconds(*lastByteBeforeStatus - scheduled));
}

// The first connection, then the device vanishes; the simulator comes back
// under the same name.
void vanishAndComeBack(Console &console, SimProcess &unit, SimProcess &back,
                       const QString &program, const QStringList &arguments, double after)
{
    console.window->clickPort(1);
    console.waitForStatus(streamMode, secondsSpan(after));
    console.waitForStatus(QStringLiteral("Connection lost - Port 1"), secondsSpan(after) + 5s);
    if (!unit.waitForExit(5s))
        throw Failure{QStringLiteral("the vanished simulator did not exit")};

    // Like an adapter plugged back in under the same name.
    if (!back.start(program, console.link, arguments))
        throw Failure{back.error()};
}

void reconnect(Console &console, SimProcess &unit, const QString &program,
               const QStringList &arguments, double after)
{
    SimProcess back;
    vanishAndComeBack(console, unit, back, program, arguments, after);
    const auto backAt = Clock::now();
    console.waitForStatus(streamMode, 15s);
    print("back_to_stream_s", seconds(*console.shown(streamMode, backAt) - backAt));
}

void replug(Console &console, SimProcess &unit, const QString &program,
            const QStringList &arguments, double after)
{
    UnitLink &link = *console.unitLink;
    // The click is what is timed here.
    link.setReconnecting(false);
    SimProcess back;
    vanishAndComeBack(console, unit, back, program, arguments, after);

    // Where the time goes: the read-out ends on the poll tick that arms the
    // stream request, which the retry then queues (seen to 20 ms).
    std::optional<Clock::time_point> readOutDone, requestQueued;
    QObject scope; // ends the connections below with this function
    QObject::connect(&link, &UnitLink::phaseChanged, &scope, [&](LinkPhase phase) {
        if (!readOutDone && phase == LinkPhase::Streaming)
            readOutDone = Clock::now();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &scope, [&] {
        if (readOutDone && !requestQueued && link.queued() == "/I1\r")
            requestQueued = Clock::now();
    });
    watch.start(20);

    const auto click = Clock::now();
    console.window->portButtons[0]->click();
    console.waitForStatus(streamMode, 15s);
    const std::optional<Clock::time_point> connected =
        console.shown(QStringLiteral("Connected Comm Port 1"), click);
    const Clock::time_point streaming = *console.shown(streamMode, click);
    if (!connected || !readOutDone)
        throw Failure{QStringLiteral("missed a step between the click and \"Stream Mode\"")};

    print("click_to_stream_s", seconds(streaming - click));
    print("handshake_s", seconds(*connected - click));
    print("read_out_s", seconds(*readOutDone - *connected));
    // A request sent on the pump tick right after the retry queued it can
    // slip between two looks at the queue.
    if (requestQueued) {
        print("request_wait_s", seconds(*requestQueued - *readOutDone));
        print("answer_s", seconds(streaming - *requestQueued));
    }
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString program = args.value(1);
    const QString mode = args.value(2);
    bool isNumber = false;
    const double amount = args.value(3).toDouble(&isNumber);
    const QStringList simArguments = args.mid(4);
    if (!isNumber || amount <= 0
        || !QStringList{"lines", "mute", "replug", "reconnect"}.contains(mode)) {
        std::fprintf(stderr, "usage: torvane-adapters SIM lines SECONDS | mute AFTER | replug AFTER"
                             " | reconnect AFTER [SIM OPTIONS]\n");
        return 2;
    }

    try {
        Console console;
        SimProcess unit;
        QStringList first = simArguments;
        if (mode == QLatin1String("lines"))
            first << QStringLiteral("--number-lines");
        else
            first << (mode == QLatin1String("mute") ? QStringLiteral("--mute-after")
                                                    : QStringLiteral("--vanish-after"))
                  << args.value(3);
        if (!unit.start(program, console.link, first))
            throw Failure{unit.error()};
        if (mode == QLatin1String("lines"))
            lines(console, amount);
        else if (mode == QLatin1String("mute"))
            mute(console, unit, amount);
        else if (mode == QLatin1String("replug"))
            replug(console, unit, program, simArguments, amount);
        else
            reconnect(console, unit, program, simArguments, amount);
    } catch (const Failure &failure) {
        std::fprintf(stderr, "torvane-adapters: %s\n", qPrintable(failure.reason));
        return 1;
    }
    return 0;
}
