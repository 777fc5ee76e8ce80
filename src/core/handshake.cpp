// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

#include <algorithm>

namespace {

// Stop any stream, then ask the unit who it is; "%" gives an older unit the
// time it needs between commands.
const QByteArray startupCommands = QByteArrayLiteral("/*\r%/I0\r%/u\r");
const QByteArray streamRequest = QByteArrayLiteral("/I1\r");

} // namespace

// Close, choose, open, carrying on past failures and acting on the last one:
// a failed close followed by a good open still counts as a failure.
void UnitLink::openPort(int16_t portNumber)
{
    stopWaitingForAdapter();
    int error = SerialPort::noError;
    auto record = [&error](int result) {
        if (result != SerialPort::noError)
            error = result;
    };
    if (serial->isOpen())
        record(serial->setOpen(false));
    record(serial->selectPort(portNumber));
    record(serial->setOpen(true));

    if (error == SerialPort::errorPortInUse) {
        setStatus(QStringLiteral("No Comm Port"));
        return;
    }
    if (error != SerialPort::noError)
        return;
    beginConnection();
}

// The port is open: the start-up commands go out until the unit answers.
void UnitLink::beginConnection()
{
    forgetSettingsRead();
    armStartupHandshake();
    if (serial->portNumber() != 4)
        queue = handshakeCommands;
    setStatusWithPort(QStringLiteral("Waiting for connection - Port "));
    rereadAfterSilence = false;
    wiring.start(clock());
    setPhase(LinkPhase::WaitingForUnit);
    checkWiring();
}

// Closing the window sends nothing to the unit; it only releases the port.
void UnitLink::closePort()
{
    if (serial->isOpen())
        serial->setOpen(false);
}

// The pump keeps running: without it a later port click would queue the
// start-up commands and never send them. What the unit reported stays shown.
void UnitLink::reset()
{
    closePort();
    stopWaitingForAdapter();
    pollTimer.stop();
    stopHandshake();
    forgetSettingsRead();
    setStatus(QString());
    unit.advanceMode = AdvanceMode::Automatic;
    rereadAfterSilence = false;
    setStreamOn(false);
    resetAsks();
    setPhase(LinkPhase::Closed);
}

void UnitLink::armStartupHandshake()
{
    armHandshake(startupCommands);
}

void UnitLink::armHandshake(const QByteArray &commands)
{
    handshakeCommands = commands;
    // Arming a retry that already runs must not restart its interval.
    if (!handshakeRetryTimer.isActive())
        handshakeRetryTimer.start();
}

void UnitLink::stopHandshake()
{
    handshakeRetryTimer.stop();
    handshakeCommands.clear();
}

void UnitLink::retryHandshake()
{
    if (queue.isEmpty())
        queue = handshakeCommands;
}

// The unit's "u" answer: the first one after a port click starts reading
// its values.
void UnitLink::identified()
{
    stopHandshake();
    if (currentPhase != LinkPhase::WaitingForUnit)
        return;
    setStatusWithPort(QStringLiteral("Connected Comm Port "));
    forgetSettingsRead();
    setPhase(LinkPhase::ReadingSettings);
    // Restarted together even if running, so that they share wake-ups.
    pollTimer.start();
    pumpTimer.start();
    emit unitIdentified();
}

// The poll cycle has read every value: ask the unit to stream.
void UnitLink::requestStream()
{
    armHandshake(streamRequest);
    setStreamOn(true);
    // The read-out echoed each reported value back; nothing awaits storing.
    // After a silence the unit may still hold an unsaved change.
    if (!rereadAfterSilence)
        setUnsaved(false);
    rereadAfterSilence = false;
    if (std::all_of(reportedInReadOut.begin(), reportedInReadOut.end(), [](bool r) { return r; })) {
        unit.settingsRead = true;
        emit settingsReadOut();
    }
    // A unit still silent stays so until it answers: its first line tells
    // what the link is then.
    if (identifiedPhase() && currentPhase != LinkPhase::UnitSilent)
        setPhase(LinkPhase::Streaming);
}

// The device failed or vanished (a USB adapter pulled out). Back to where a
// click on a port button connects and reads the unit afresh. The unit
// plugged back in may be another one, of any revision, so it starts in
// paced mode.
void UnitLink::portLost()
{
    closePort();
    setStatusWithPort(QStringLiteral("Connection lost - Port "));
    pollTimer.stop();
    queue.clear();
    unit.firmwareRevision = 0;
    unit.firmwareText = QStringLiteral("0");
    emit readingsChanged();
    forgetSettingsRead();
    rereadAfterSilence = false;
    forgetUnit();
    setPhase(LinkPhase::Lost);
    waitForAdapter();
}

// A read-out is whole only when every setting was reported during it; the
// next one starts from nothing, and a transfer under way has lost its unit.
void UnitLink::forgetSettingsRead()
{
    abandonTransfer();
    reportedInReadOut.fill(false);
    unit.settingsRead = false;
}
