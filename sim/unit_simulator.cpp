#include "sim/unit_simulator.h"

#include "sim/pseudo_terminal.h"
#include "sim/serial_device_link.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int writerTickMs = 1;
constexpr int engineTickMs = 50;
constexpr Nanos longestEngineStep = std::chrono::seconds(1);
constexpr int quietestStatusMs = 20'000;
constexpr int busiestStatusMs = 40'000;
constexpr double longestVanishSeconds = 1e6; // what a timer can hold

// Each random consumer gets its own stream, so a fault switched on does not
// change what the engine does.
std::uint64_t streamSeed(std::uint64_t seed, int stream)
{
    return seed + std::uint64_t(stream) * 0x9E3779B97F4A7C15ULL;
}

UnitFaults faultsOf(const SimOptions &options)
{
    return {options.silent, options.ignoreLetters, options.overflow};
}

Nanos steadyNow()
{
    return std::chrono::steady_clock::now().time_since_epoch();
}

} // namespace

UnitSimulator::UnitSimulator(const SimOptions &options, QObject *parent)
    : QObject(parent),
      options(options),
      clock(steadyNow),
      engineModel(streamSeed(options.seed, 0)),
      unitModel(engineModel, streamSeed(options.seed, 1), options.revision, faultsOf(options)),
      noise(options.garbageProbability, streamSeed(options.seed, 2)),
      writer(options.fast ? Nanos(0) : byteTime, options.lineGap),
      statusRandom(streamSeed(options.seed, 3))
{
    engineModel.holdStopped(options.engineStopped);
    writerTimer.setTimerType(Qt::PreciseTimer);
    writerTimer.setInterval(writerTickMs);
    engineTimer.setInterval(engineTickMs);
    telemetryTimer.setTimerType(Qt::PreciseTimer);
    telemetryTimer.setInterval(telemetryIntervalMs());
    statusTimer.setSingleShot(true);
    vanishTimer.setSingleShot(true);
    connect(&writerTimer, &QTimer::timeout, this, &UnitSimulator::pumpWriter);
    connect(&engineTimer, &QTimer::timeout, this, &UnitSimulator::advanceEngine);
    connect(&telemetryTimer, &QTimer::timeout, this, &UnitSimulator::sendTelemetry);
    connect(&statusTimer, &QTimer::timeout, this, &UnitSimulator::sendStatusRecords);
    connect(&vanishTimer, &QTimer::timeout, this, &UnitSimulator::vanish);
}

UnitSimulator::~UnitSimulator()
{
    stopServing();
}

StartResult UnitSimulator::start()
{
    QString error;
    if (!options.device.isEmpty()) {
        std::unique_ptr<SerialDeviceLink> device = SerialDeviceLink::open(options.device, &error);
        if (!device)
            return {QString(), error};
        start(std::move(device));
        return {options.device, QString()};
    }
    std::unique_ptr<PseudoTerminal> terminal = PseudoTerminal::open(options.linkPath, &error);
    if (!terminal)
        return {QString(), error};
    const QString path = terminal->slavePath();
    start(std::move(terminal));
    return {path, QString()};
}

void UnitSimulator::start(std::unique_ptr<ByteLink> newLink)
{
    stopServing();
    link = std::move(newLink);
    connect(link.get(), &ByteLink::received, this, &UnitSimulator::receive);
    // Queued: the link is destroyed here, never inside its own signal.
    connect(
        link.get(), &ByteLink::failed, this,
        [this](const QString &reason) {
            stopServing();
            emit linkFailed(reason);
        },
        Qt::QueuedConnection);
    lastEngineStep = clock();
    engineTimer.start();
    telemetryTimer.start();
    armStatusTimer();
    if (options.vanishAfterSeconds > 0) {
        const double seconds = std::min(options.vanishAfterSeconds, longestVanishSeconds);
        vanishTimer.start(int(std::lround(seconds * 1000)));
    }
}

void UnitSimulator::setClock(Clock newClock)
{
    clock = std::move(newClock);
}

void UnitSimulator::receive(QByteArrayView bytes)
{
    for (const QByteArray &reply : unitModel.receive(bytes))
        queueLine(reply);
}

void UnitSimulator::pumpWriter()
{
    const QByteArray due = writer.take(clock());
    if (!due.isEmpty() && link)
        link->write(due);
    if (writer.isIdle())
        writerTimer.stop();
    else if (!writerTimer.isActive())
        writerTimer.start();
}

void UnitSimulator::advanceEngine()
{
    const Nanos now = clock();
    // A stalled process resumes where it was rather than racing ahead.
    engineModel.advance(std::clamp(now - lastEngineStep, Nanos(0), longestEngineStep));
    lastEngineStep = now;
}

// Telemetry waits for a free line, so replies are never stuck behind it.
void UnitSimulator::sendTelemetry()
{
    if (unitModel.isStreaming() && writer.isIdle())
        queueLine(unitModel.telemetryLine());
}

void UnitSimulator::sendStatusRecords()
{
    for (const QByteArray &line : unitModel.statusLines())
        queueLine(line);
    armStatusTimer();
}

void UnitSimulator::vanish()
{
    if (!link)
        return;
    stopServing();
    emit vanished();
}

int UnitSimulator::telemetryIntervalMs() const
{
    const double wanted = std::isfinite(options.rate) ? options.rate : 10;
    const double rate = std::clamp(wanted, 0.01, maxTelemetryRate);
    return int(std::ceil(1000 / rate));
}

void UnitSimulator::queueLine(const QByteArray &line)
{
    if (line.isEmpty() || !link)
        return;
    const Nanos now = clock();
    // Noise and line queue as separate chunks: noise never lands inside a line.
    writer.queue(noise.beforeLine(), now);
    writer.queue(line, now);
    pumpWriter();
}

void UnitSimulator::stopServing()
{
    for (QTimer *timer : {&writerTimer, &engineTimer, &telemetryTimer, &statusTimer, &vanishTimer})
        timer->stop();
    writer.clear();
    if (!link)
        return;
    link->disconnect(this);
    link->close();
    link.reset();
}

void UnitSimulator::armStatusTimer()
{
    statusTimer.start(
        std::uniform_int_distribution<int>(quietestStatusMs, busiestStatusMs)(statusRandom));
}
