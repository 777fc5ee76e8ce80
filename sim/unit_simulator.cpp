// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_simulator.h"

#include "sim/baud_mismatch.h"
#include "sim/pseudo_terminal.h"
#include "sim/serial_device_link.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int writerTickMs = 1;
constexpr int engineTickMs = 50;
// Telemetry may queue behind the last bytes of the line before, so a timer
// that fires a hair early does not skip a line at the full rate; a reply
// waits no longer than these bytes take.
constexpr qsizetype telemetryLeadBytes = 3;
constexpr Nanos longestEngineStep = std::chrono::seconds(1);
constexpr int quietestStatusMs = 20'000;
constexpr int busiestStatusMs = 40'000;
constexpr double longestFaultSeconds = 1e6; // what a timer can hold
constexpr int wrongUnitBaud = 2 * lineBaud;

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

Nanos faultDelay(double seconds)
{
    if (!(seconds > 0))
        return Nanos(0);
    return std::chrono::duration_cast<Nanos>(
        std::chrono::duration<double>(std::min(seconds, longestFaultSeconds)));
}

UsbAdapter adapterFor(const SimOptions &options, Nanos now)
{
    if (options.chunkPeriod.count() > 0)
        return UsbAdapter::withLatency(options.chunkPeriod, now);
    if (options.chunkLargest > 0)
        return UsbAdapter::withRandomSizes(options.chunkSmallest, options.chunkLargest,
                                           streamSeed(options.seed, 4));
    return {};
}

} // namespace

UnitSimulator::UnitSimulator(const SimOptions &options, QObject *parent)
    : QObject(parent),
      options(options),
      clock(steadyNow),
      engineModel(streamSeed(options.seed, 0)),
      unitModel(engineModel, streamSeed(options.seed, 1), options.revision, faultsOf(options)),
      noise(options.garbageProbability, streamSeed(options.seed, 2)),
      writer(options.fast ? Nanos(0) : byteTime),
      statusRandom(streamSeed(options.seed, 3)),
      muteAt(faultDelay(options.muteAfterSeconds)),
      muteFor(muteAt > Nanos(0) ? faultDelay(options.muteForSeconds) : Nanos(0))
{
    // A replay's figures come from the recording; the engine only turns the
    // propeller until the recording tells its angle.
    engineModel.holdStopped(options.engineStopped || options.replay);
    if (options.replay && !options.replay->telemetry.isEmpty())
        replay.emplace(options.replay, options.replaySpeed,
                       std::chrono::milliseconds(telemetryIntervalMs()));
    unitModel.numberLines(options.numberLines);
    writerTimer.setTimerType(Qt::PreciseTimer);
    writerTimer.setInterval(writerTickMs);
    engineTimer.setInterval(engineTickMs);
    telemetryTimer.setTimerType(Qt::PreciseTimer);
    telemetryTimer.setInterval(telemetryIntervalMs());
    statusTimer.setSingleShot(true);
    vanishTimer.setSingleShot(true);
    powerTimer.setSingleShot(true);
    powerTimer.setTimerType(Qt::PreciseTimer);
    connect(&writerTimer, &QTimer::timeout, this, &UnitSimulator::pumpWriter);
    connect(&engineTimer, &QTimer::timeout, this, &UnitSimulator::advanceEngine);
    connect(&telemetryTimer, &QTimer::timeout, this, &UnitSimulator::sendTelemetry);
    connect(&statusTimer, &QTimer::timeout, this, &UnitSimulator::sendStatusRecords);
    connect(&vanishTimer, &QTimer::timeout, this, &UnitSimulator::vanish);
    connect(&powerTimer, &QTimer::timeout, this, &UnitSimulator::checkPower);
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
    startedAt = lastEngineStep = clock();
    adapter = adapterFor(options, startedAt);
    power = Power::On;
    muted = false;
    engineTimer.start();
    if (replay)
        replay->stop();
    telemetryTimer.setSingleShot(false);
    telemetryTimer.start(telemetryIntervalMs());
    armStatusTimer();
    if (options.vanishAfterSeconds > 0) {
        const double seconds = std::min(options.vanishAfterSeconds, longestFaultSeconds);
        vanishTimer.start(int(std::lround(seconds * 1000)));
    }
    armPowerTimer(Nanos(0));
}

void UnitSimulator::setClock(Clock newClock)
{
    clock = std::move(newClock);
}

void UnitSimulator::receive(QByteArrayView bytes)
{
    checkPower();
    if (options.wiring == Wiring::Loopback)
        echo(bytes);
    if (muted || !unitOnTheLine())
        return;
    if (replay)
        unitModel.setPropellerReply(replay->propellerReply(clock()));
    const int streamRequests = unitModel.streamRequests();
    for (const QByteArray &reply : unitModel.receive(bytes))
        queueLine(reply);
    if (replay && unitModel.streamRequests() != streamRequests) {
        replay->restart(clock());
        telemetryTimer.setSingleShot(true);
        telemetryTimer.start(0);
    }
}

void UnitSimulator::pumpWriter()
{
    checkPower();
    for (const QByteArray &bytes : adapter.pass(writer, clock()))
        if (link)
            link->write(bytes);
    if (writer.isIdle() && !adapter.isHolding())
        writerTimer.stop();
    else if (!writerTimer.isActive())
        writerTimer.start();
}

void UnitSimulator::advanceEngine()
{
    checkPower();
    const Nanos now = clock();
    // A stalled process resumes where it was rather than racing ahead.
    engineModel.advance(std::clamp(now - lastEngineStep, Nanos(0), longestEngineStep));
    lastEngineStep = now;
}

// Telemetry waits until the line is nearly free, so replies are never stuck
// behind more than a few bytes of it.
void UnitSimulator::sendTelemetry()
{
    checkPower();
    if (isReplaying())
        sendReplayLine();
    else if (!muted && unitModel.isStreaming() && writer.queuedBytes() <= telemetryLeadBytes)
        queueLine(unitModel.telemetryLine());
}

// The timer is a wake-up only, set for the next line's time; it stays off
// while the unit does not stream, until /I1 starts the replay over.
void UnitSimulator::sendReplayLine()
{
    if (muted || !unitModel.isStreaming())
        return;
    const Nanos now = clock();
    Nanos wait{std::chrono::milliseconds(writerTickMs)};
    if (writer.queuedBytes() <= telemetryLeadBytes) {
        const std::optional<QByteArray> line = replay->take(now);
        if (line && !unitModel.isSilent())
            queueLine(*line + '\r');
        wait = replay->nextAt() - now;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    telemetryTimer.start(int(std::clamp<qint64>(ms, 0, std::numeric_limits<int>::max())));
}

void UnitSimulator::sendStatusRecords()
{
    checkPower();
    if (!muted)
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

void UnitSimulator::checkPower()
{
    if (!link || muteAt <= Nanos(0))
        return;
    const Nanos since = clock() - startedAt;
    const Power before = power;
    if (power == Power::On && since >= muteAt) {
        power = Power::Mute;
        mute();
    }
    if (power == Power::Mute && muteFor > Nanos(0) && since >= muteAt + muteFor) {
        power = Power::Back;
        resume();
    }
    if (power != before || !powerTimer.isActive())
        armPowerTimer(since);
}

void UnitSimulator::mute()
{
    if (muted || !link)
        return;
    muted = true;
    writer.clear();
}

void UnitSimulator::resume()
{
    if (!muted)
        return;
    muted = false;
    unitModel.reboot();
}

int UnitSimulator::telemetryIntervalMs() const
{
    const double wanted = std::isfinite(options.rate) ? options.rate : 10;
    // A CR LF ending makes each line a byte longer, and the line slower.
    const qsizetype lineBytes = telemetryLineBytes - 1 + std::max<qsizetype>(1, options.lineEnd.size());
    const double lineRate = double(lineBaud) / bitsPerByte / double(lineBytes);
    const double rate = std::clamp(wanted, 0.01, lineRate);
    return int(std::ceil(1000 / rate));
}

// The model ends its lines with CR; the unit may end them otherwise.
void UnitSimulator::queueLine(const QByteArray &line)
{
    if (line.isEmpty() || !link || muted || !unitOnTheLine())
        return;
    const Nanos now = clock();
    // Noise and line queue as separate chunks: noise never lands inside a line.
    writer.queue(noise.beforeLine(), now);
    writer.queue(asReceived(line.endsWith('\r') ? line.chopped(1) + options.lineEnd : line), now);
    pumpWriter();
}

// Paced as the console sent them, so they come back no faster.
void UnitSimulator::echo(QByteArrayView bytes)
{
    if (!link)
        return;
    writer.queue(bytes, clock());
    pumpWriter();
}

// Each line is read from an idle line on its own: a burst of replies would
// in truth run on, garbled all the same. Fewer bytes reach the console than
// the unit sent; paced at 9600 they take about as long as its 19200 did.
QByteArray UnitSimulator::asReceived(const QByteArray &line) const
{
    if (options.wiring != Wiring::WrongSpeed)
        return line;
    return receivedAtBaud(line, wrongUnitBaud, lineBaud);
}

bool UnitSimulator::unitOnTheLine() const
{
    return options.wiring == Wiring::Straight || options.wiring == Wiring::WrongSpeed;
}

void UnitSimulator::stopServing()
{
    for (QTimer *timer :
         {&writerTimer, &engineTimer, &telemetryTimer, &statusTimer, &vanishTimer, &powerTimer})
        timer->stop();
    writer.clear();
    adapter.clear();
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

// A timer is a wake-up only; checkPower() goes by the clock, so a timer that
// fires early merely sets itself again.
void UnitSimulator::armPowerTimer(Nanos sinceStart)
{
    Nanos next{0};
    if (power == Power::On && muteAt > Nanos(0))
        next = muteAt;
    else if (power == Power::Mute && muteFor > Nanos(0))
        next = muteAt + muteFor;
    if (next <= Nanos(0)) {
        powerTimer.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - sinceStart);
    powerTimer.start(int(std::clamp<qint64>(wait.count(), 0, std::numeric_limits<int>::max())));
}
