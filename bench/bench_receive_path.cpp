// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"
#include "gauges/gauge_animation.h"
#include "link/memory_serial_port.h"
#include "protocol/acknowledgement.h"
#include "protocol/hex_number.h"
#include "protocol/replies.h"
#include "protocol/telemetry.h"
#include "ui/console_window.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

// The decoders, the whole receive path on a headless window, and one gauge
// tick. Run with QT_QPA_PLATFORM=offscreen.

namespace {

const QByteArray telemetryLine = "=0BB81E000082231020\r";

// A console on the in-memory port; with no event loop running, its timers
// never tick.
struct QuietConsole {
    MemorySerialPort *port = new MemorySerialPort;
    UnitLink link{port};
    ConsoleWindow window{link};
};

void hexToNumber(benchmark::State &state)
{
    const QByteArray field = "0BB8";
    for (auto _ : state)
        benchmark::DoNotOptimize(parseHex(field));
}
BENCHMARK(hexToNumber);

void hexToNumberLongest(benchmark::State &state)
{
    const QByteArray field = "&H" + QByteArray(23, 'F');
    for (auto _ : state)
        benchmark::DoNotOptimize(parseHex(field));
}
BENCHMARK(hexToNumberLongest);

void telemetryDecoder(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeTelemetry(telemetryLine));
}
BENCHMARK(telemetryDecoder);

void acknowledgementDecoder(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeAcknowledgement("/L2\r"));
}
BENCHMARK(acknowledgementDecoder);

void replyDecoder(benchmark::State &state)
{
    static const char *const lines[] = {"p80\r", "c05\r", "u21\r",   "t01\r", "d03\r",
                                        "l02\r", "n23\r", "m0E\r",   "x0BB8\r", "b00\r",
                                        "e30\r", "z5A\r", "j01\r", "w7D\r"};
    const QByteArrayView line(lines[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeReply(line));
    state.SetLabel(std::string(1, line[0]));
}
BENCHMARK(replyDecoder)->DenseRange(0, 13);

// Chunk in to window updated: receive event, framing, dispatch, decoder and
// the widget texts. Items processed = telemetry lines.
void receivePathTelemetry(benchmark::State &state)
{
    QuietConsole console;
    MemorySerialPort *port = console.port;
    for (auto _ : state)
        port->receive(telemetryLine);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(receivePathTelemetry);

void receivePathReplies(benchmark::State &state)
{
    QuietConsole console;
    MemorySerialPort *port = console.port;
    for (auto _ : state) {
        port->receive("c05\r");
        port->receive("z5A\r");
        port->receive("/L2\r");
    }
    state.SetItemsProcessed(3 * state.iterations());
}
BENCHMARK(receivePathReplies);

// One 10 ms animation step while every bar moves.
void gaugeTickMoving(benchmark::State &state)
{
    QuietConsole console;
    GaugeAnimation &animation = console.window.gaugeAnimation();
    int16_t target = 0;
    for (auto _ : state) {
        target = int16_t((target + 37) % 3600);
        animation.setTargets({{Figure::Rpm, target},
                              {Figure::Advance, int16_t(20 + target % 25)},
                              {Figure::Volts, int16_t(target % 18)},
                              {Figure::Pair12, int16_t(target % 100)},
                              {Figure::Pair34, 0},
                              {Figure::Propeller, int16_t(target % 360)}});
        animation.step();
    }
}
BENCHMARK(gaugeTickMoving);

// The usual case: values settled, bars stepping around their targets.
void gaugeTickSettled(benchmark::State &state)
{
    QuietConsole console;
    GaugeAnimation &animation = console.window.gaugeAnimation();
    animation.setTargets({{Figure::Rpm, 2500}, {Figure::Advance, 30}, {Figure::Volts, 14},
                          {Figure::Pair12, 0}, {Figure::Pair34, 0}, {Figure::Propeller, 0}});
    for (int i = 0; i < 1000; ++i)
        animation.step();
    for (auto _ : state)
        animation.step();
}
BENCHMARK(gaugeTickSettled);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
