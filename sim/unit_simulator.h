#pragma once

#include "sim/byte_link.h"
#include "sim/engine_model.h"
#include "sim/line_noise.h"
#include "sim/paced_writer.h"
#include "sim/sim_options.h"
#include "sim/unit_model.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <random>

struct StartResult {
    QString devicePath; // what the console should open
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// A whole simulated unit: protocol, engine, pacing, faults and timers, served
// on a pseudo-terminal, a serial device, or any other link. Usable inside the
// console's own process for its demo mode. The timer handlers are public so
// that tests can drive them with an injected clock.
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
    void sendTelemetry();
    void sendStatusRecords();
    // The device disappears: the link closes and everything stops.
    void vanish();

    const UnitModel &unit() const { return unitModel; }
    const EngineModel &engine() const { return engineModel; }
    bool isServing() const { return link != nullptr; }
    // Milliseconds between telemetry lines, after clamping the rate.
    int telemetryIntervalMs() const;

signals:
    void vanished();
    void linkFailed(const QString &reason);

private:
    void queueLine(const QByteArray &line);
    void stopServing();
    void armStatusTimer();

    SimOptions options;
    Clock clock;
    EngineModel engineModel;
    UnitModel unitModel;
    LineNoise noise;
    PacedWriter writer;
    std::mt19937_64 statusRandom;
    std::unique_ptr<ByteLink> link;
    Nanos lastEngineStep{0};
    QTimer writerTimer;
    QTimer engineTimer;
    QTimer telemetryTimer;
    QTimer statusTimer;
    QTimer vanishTimer;
};
