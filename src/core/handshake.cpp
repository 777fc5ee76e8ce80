// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

namespace {

// Stop any stream, then ask the unit who it is; an older unit needs a pause
// after each of the first two.
const std::vector<OutgoingCommand> startupCommands{
    {CommandKind::Startup, QByteArrayLiteral("/*\r"), true},
    {CommandKind::Startup, QByteArrayLiteral("/I0\r"), true},
    {CommandKind::Startup, QByteArrayLiteral("/u\r"), false},
};
const std::vector<OutgoingCommand> streamRequest{
    {CommandKind::Stream, QByteArrayLiteral("/I1\r"), false},
};

} // namespace

// Close, choose, open, carrying on past failures and acting on the last one:
// a failed close followed by a good open still counts as a failure.
void UnitLink::openPort(int16_t portNumber)
{
    stopWaitingForAdapter();
    PortResult result = PortResult::Done;
    auto record = [&result](PortResult step) {
        if (step != PortResult::Done)
            result = step;
    };
    if (serial->isOpen())
        record(serial->setOpen(false));
    record(serial->selectPort(portNumber));
    record(serial->setOpen(true));

    if (result == PortResult::InUse) {
        setStatus(QStringLiteral("No Comm Port"));
        return;
    }
    if (result != PortResult::Done)
        return;
    beginConnection();
}

// The port is open: the start-up commands go out until the unit answers.
// Whatever was being sent went to the port before; none of it is due here.
// The read-out begins with the connection, so that what the unit streams
// before it identifies itself already counts; nothing is asked until then.
void UnitLink::beginConnection()
{
    startReadOut(ReadOut::Reason::NewConnection);
    armStartupHandshake();
    if (serial->portNumber() != 4) {
        outgoing.clear();
        outgoing.submit(handshakeCommands);
    }
    setStatusWithPort(QStringLiteral("Waiting for connection - Port "));
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
// start-up commands and never send them. What the unit reported stays shown;
// the advance mode is the console's own, so it goes back to automatic.
void UnitLink::reset()
{
    closePort();
    stopWaitingForAdapter();
    pollTimer.stop();
    stopHandshake();
    abandonTransfer();
    readOut.stop();
    setStatus(QString());
    unit.advanceMode = AdvanceMode::Automatic;
    emit advanceModeSelected(AdvanceMode::Automatic);
    setStreamOn(false);
    setPhase(LinkPhase::Closed);
}

void UnitLink::armStartupHandshake()
{
    armHandshake(startupCommands);
}

void UnitLink::armHandshake(const std::vector<OutgoingCommand> &commands)
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
    if (outgoing.idle())
        outgoing.submit(handshakeCommands);
}

// The unit's "u" answer: the first one after a port click starts reading
// its values.
void UnitLink::identified()
{
    stopHandshake();
    if (currentPhase != LinkPhase::WaitingForUnit)
        return;
    setStatusWithPort(QStringLiteral("Connected Comm Port "));
    // One that fell silent while it was awaited has lost the read-out its
    // connection began.
    if (!readOut.running())
        startReadOut(ReadOut::Reason::NewConnection);
    setPhase(LinkPhase::ReadingSettings);
    // Restarted together even if running, so that they share wake-ups.
    pollTimer.start();
    pumpTimer.start();
    emit unitIdentified();
}

// A read-out starts from nothing, and a transfer under way was checked
// against values that may no longer hold.
void UnitLink::startReadOut(ReadOut::Reason reason)
{
    abandonTransfer();
    readOut.start(reason);
}

// The read-out echoed back each value that moved its editor; that is no
// change to store. After a new connection nothing awaits STORE CONFIG; after
// a silence, only a change of the user's that the unit was not told to store.
void UnitLink::finishReadOut()
{
    const bool everySetting = readOut.finish();
    if (readOut.reason() == ReadOut::Reason::NewConnection)
        userChangeUnstored = false;
    setUnsaved(userChangeUnstored);
    if (everySetting)
        emit settingsReadOut();
}

// The poll cycle has read every value: ask the unit to stream.
void UnitLink::requestStream()
{
    armHandshake(streamRequest);
    setStreamOn(true);
    if (identifiedPhase())
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
    outgoing.clear();
    unit.firmwareRevision = 0;
    unit.firmwareText = QStringLiteral("0");
    emit readingsChanged();
    abandonTransfer();
    forgetUnit();
    setPhase(LinkPhase::Lost);
    waitForAdapter();
}
