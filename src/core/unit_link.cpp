// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

UnitLink::UnitLink(SerialPort *port, QObject *parent)
    : QObject(parent), serial(port),
      outgoing([port](QByteArrayView bytes) { port->send(bytes); }, clock),
      adapterWait(*port, [this] { return reopenAwaitedAdapter(); })
{
    serial->setParent(this);
    for (int i = 0; i < settingCount; ++i)
        unit.settings[i].position = settingDefinitions[i].initial;

    // Precise timers started together expire in the same wake-ups: the poll
    // cycle's ticks fall on the pump's, and both on gauge steps.
    pollTimer.setInterval(pollMs);
    pollTimer.setTimerType(Qt::PreciseTimer);
    pumpTimer.setInterval(pumpMs);
    pumpTimer.setTimerType(Qt::PreciseTimer);
    handshakeRetryTimer.setInterval(handshakeRetryMs);

    connect(&pollTimer, &QTimer::timeout, this, &UnitLink::pollNext);
    connect(&pumpTimer, &QTimer::timeout, this, &UnitLink::transmitNext);
    // The silence check rides on the pump's wake-ups: a timer of its own
    // would wake the program several more times a second.
    connect(&pumpTimer, &QTimer::timeout, this, &UnitLink::checkSilence);
    connect(&pumpTimer, &QTimer::timeout, this, &UnitLink::checkWiring);
    connect(&handshakeRetryTimer, &QTimer::timeout, this, &UnitLink::retryHandshake);
    connect(serial, &SerialPort::bytesReceived, this, &UnitLink::receive);
    connect(serial, &SerialPort::closed, this, &UnitLink::portLost);

    // The pump runs from the start: a port click only queues the start-up
    // commands.
    pumpTimer.start();
}

UnitLink::~UnitLink() = default;

bool UnitLink::identifiedPhase() const
{
    return currentPhase == LinkPhase::ReadingSettings || currentPhase == LinkPhase::Streaming
           || currentPhase == LinkPhase::UnitSilent;
}

void UnitLink::setPhase(LinkPhase phase)
{
    if (phase == currentPhase)
        return;
    currentPhase = phase;
    if (phase != LinkPhase::WaitingForUnit)
        wiring.stop();
    emit phaseChanged(phase);
    checkWiring();
}

void UnitLink::setStatus(const QString &text)
{
    statusText = text;
    emit statusChanged(text);
}

void UnitLink::setStatusWithPort(const QString &prefix)
{
    setStatus(prefix + QString::number(serial->portNumber()));
}

void UnitLink::setUnsaved(bool unsaved)
{
    if (unsaved == unit.unsavedChanges)
        return;
    unit.unsavedChanges = unsaved;
    emit storeStateChanged(unsaved);
}

void UnitLink::setStreamOn(bool on)
{
    streamOn = on;
    if (!on)
        setEngineRunning(false);
    updateEngineRunning();
}

void UnitLink::setEngineRunning(bool running)
{
    if (running == unit.engineRunning)
        return;
    unit.engineRunning = running;
    if (running)
        abandonTransfer();
    emit engineRunningChanged(running);
}

// An engine counts as running only while the stream is on: the poll cycle
// stays quiet then, and the propeller dial gives way to the bars.
void UnitLink::updateEngineRunning()
{
    if (unit.figures[Figure::Rpm] >= 50) {
        if (streamOn)
            setEngineRunning(true);
    } else {
        setEngineRunning(false);
    }
}

void UnitLink::updateFigures(const FigureValues &reported)
{
    unit.figures.update(reported);
    emit figuresChanged(unit.figures);
    updateEngineRunning();
}

// What the console learnt from a unit it can no longer hear: a half line
// would be glued to the next unit's first answer, settings read before may
// no longer hold, and stale engine figures must not look live, so the bars
// fall to zero. The propeller angle is read on request, not streamed: it
// stays as last read.
void UnitLink::forgetUnit()
{
    stopHandshake();
    framer.clear();
    readOut.stop();
    lastHeard.reset();
    setStreamOn(false);
    unit.advanceSteps = 0;
    for (const Figure figure : allFigures())
        if (figure != Figure::Propeller)
            unit.figures.forget(figure);
    updateFigures({});
}
