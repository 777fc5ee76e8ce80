// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/byte_link.h"
#include "sim/engine_model.h"
#include "sim/line_noise.h"
#include "sim/paced_writer.h"
#include "sim/replay_player.h"
#include "sim/sim_options.h"
#include "sim/unit_model.h"
#include "sim/usb_adapter.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <random>

struct StartResult {
    QString devicePath; // what the console should open
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A whole simulated unit: protocol, engine, pacing, the USB adapter, faults
// and timers, served on a pseudo-terminal, a serial device, or any other
// link. Usable inside the console's own process for its demo mode. With
// options.replay it streams a recording instead of its engine from each /I1
// on; before the first, a stopped engine as at power-up. The timer
// handlers are public so that tests can drive them with an injected clock.
class UnitSimulator : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<Nanos()>;

    explicit UnitSimulator(const SimOptions &options, QObject *parent = nullptr);
    ~UnitSimulator() override;

    // Opens the device named by the options, or a new pseudo-terminal.
    StartResult start();
    // Serves a link opened elsewhere.
    void start(std::unique_ptr<ByteLink> link);
    // Replaces the steady clock; call before start().
    void setClock(Clock clock);

    void receive(QByteArrayView bytes);
    void pumpWriter();
    void advanceEngine();
    // While replaying, sends only what is due by the clock, so an extra call
    // is harmless.
    void sendTelemetry();
    void sendStatusRecords();
    // The device disappears: the link closes and everything stops.
    void vanish();
    // Follows --mute-after and --mute-for by the simulator's clock. Every
    // handler calls it too, so a late timer changes nothing.
    void checkPower();
    // Power lost, link still open: what has not gone out is dropped (bytes
    // already in the adapter still reach the console), and nothing is
    // answered or sent until resume().
    void mute();
    // Power back: the unit reboots (see UnitModel::reboot()).
    void resume();

    const UnitModel &unit() const { return unitModel; }
    const EngineModel &engine() const { return engineModel; }
    bool isServing() const { return link != nullptr; }
    bool isMute() const { return muted; }
    // Streaming a recording, on a timer set for each line's time.
    bool isReplaying() const { return replay && replay->isPlaying(); }
    // Milliseconds between telemetry lines, after clamping the rate.
    int telemetryIntervalMs() const;

signals:
    void vanished();
    void linkFailed(const QString &reason);

private:
    void queueLine(const QByteArray &line);
    // A loopback plug sends the console's bytes straight back.
    void echo(QByteArrayView bytes);
    // What reaches the console of a line the unit sends, after the wiring.
    QByteArray asReceived(const QByteArray &line) const;
    // Whether the unit and the console hear each other at all.
    bool unitOnTheLine() const;
    void sendReplayLine();
    void stopServing();
    void armStatusTimer();
    void armPowerTimer(Nanos sinceStart);

    // The scheduled mute, in order; each step is taken once.
    enum class Power { On, Mute, Back };

    SimOptions options;
    Clock clock;
    EngineModel engineModel;
    UnitModel unitModel;
    LineNoise noise;
    PacedWriter writer;
    UsbAdapter adapter;
    std::mt19937_64 statusRandom;
    std::unique_ptr<ByteLink> link;
    std::optional<ReplayPlayer> replay;
    Nanos lastEngineStep{0};
    Nanos startedAt{0};
    Nanos muteAt{0};  // from the start; 0: never
    Nanos muteFor{0}; // 0: for ever
    Power power = Power::On;
    bool muted = false;
    QTimer writerTimer;
    QTimer engineTimer;
    QTimer telemetryTimer;
    QTimer statusTimer;
    QTimer vanishTimer;
    QTimer powerTimer;
};
