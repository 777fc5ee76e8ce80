// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

void UnitLink::checkSilence()
{
    if (!streamOn || !serial->isOpen()) {
        lastHeard.reset();
        return;
    }
    const auto now = clock();
    if (!lastHeard)
        lastHeard = now;
    else if (now - *lastHeard >= silenceLimit)
        unitFellSilent();
}

// The port stays open and the poll cycle keeps asking, so the unit is read
// afresh as soon as it answers. Until then nothing it reported before is
// known to hold: a unit that rebooted may hold other settings.
void UnitLink::unitFellSilent()
{
    setStatusWithPort(QStringLiteral("No data from unit - Port "));
    endTransferUnitSilent();
    forgetUnit();
    if (currentPhase == LinkPhase::WaitingForUnit) {
        // Its "u" answer is what starts the poll cycle, so ask for it again.
        armStartupHandshake();
        return;
    }
    setPhase(LinkPhase::UnitSilent);
}

// The first line the unit sends after a silence tells what the link is now:
// a stream, or a unit answering questions. Either way it is read again from
// the start.
void UnitLink::recoverFromSilence(const DecodedLine &line)
{
    startReadOut(ReadOut::Reason::AfterSilence);
    if (line.kind == LineKind::Telemetry) {
        setStatus(QStringLiteral("Stream Mode"));
        setPhase(LinkPhase::Streaming);
    } else {
        setStatusWithPort(QStringLiteral("Connected Comm Port "));
        setPhase(LinkPhase::ReadingSettings);
    }
}
