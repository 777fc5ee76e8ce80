#include "gauges/linear_gauge.h"
#include "link/memory_serial_port.h"
#include "protocol/acknowledgement.h"
#include "protocol/hex2dec.h"
#include "protocol/replies.h"
#include "protocol/telemetry.h"
#include "support/quiet_console.h"
#include "ui/dashform.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

// The decoders, the whole receive path on a headless window, and one gauge
// tick. Run with QT_QPA_PLATFORM=offscreen.

namespace {

const QByteArray telemetryLine = "=0BB81E000082231020\r";

void hexToNumber(benchmark::State &state)
{
    const QByteArray field = "0BB8";
    for (auto _ : state)
        benchmark::DoNotOptimize(Hex2Dec(field));
}
BENCHMARK(hexToNumber);

void hexToNumberLongest(benchmark::State &state)
{
    const QByteArray field = "&H" + QByteArray(23, 'F');
    for (auto _ : state)
        benchmark::DoNotOptimize(Hex2Dec(field));
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

// One 10 ms animation tick while every bar moves.
void gaugeTickMoving(benchmark::State &state)
{
    QuietConsole console;
    DashForm &form = console.form;
    int16_t target = 0;
    for (auto _ : state) {
        target = int16_t((target + 37) % 3600);
        form.engineRpm = target;
        form.busVolts = int16_t(target % 18);
        form.advanceDegrees = int16_t(20 + target % 25);
        form.pair12Value = int16_t(target % 100);
        form.propAngle = int16_t(target % 360);
        form.Timer2_Timer();
    }
}
BENCHMARK(gaugeTickMoving);

// The usual case: values settled, bars stepping around their targets.
void gaugeTickSettled(benchmark::State &state)
{
    QuietConsole console;
    DashForm &form = console.form;
    form.engineRpm = 2500;
    form.busVolts = 14;
    form.advanceDegrees = 30;
    for (int i = 0; i < 1000; ++i)
        form.Timer2_Timer();
    for (auto _ : state)
        form.Timer2_Timer();
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
