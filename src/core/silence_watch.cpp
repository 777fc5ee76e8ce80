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

// The port stays open and the poll cycle keeps running, so the unit is read
// afresh and asked to stream again as soon as it answers, as after a new
// connection; one that rebooted shows what it really holds.
void UnitLink::unitFellSilent()
{
    setStatusWithPort(QStringLiteral("No data from unit - Port "));
    forgetUnit();
    // The reread must hear every setting again; until then the values read
    // before stay the ones to save.
    reportedInReadOut.fill(false);
    rereadAfterSilence = true;
    if (currentPhase == LinkPhase::WaitingForUnit) {
        // Its "u" answer is what starts the poll cycle, so ask for it again.
        armStartupHandshake();
        return;
    }
    setPhase(LinkPhase::UnitSilent);
}

// The first line the unit sends after a silence tells what the link is now:
// a stream, or a unit answering the read-out.
void UnitLink::recoverFromSilence(const DecodedLine &line)
{
    if (line.kind == LineKind::Telemetry) {
        rereadAfterSilence = false;
        setStatus(QStringLiteral("Stream Mode"));
        setPhase(LinkPhase::Streaming);
    } else {
        setStatusWithPort(QStringLiteral("Connected Comm Port "));
        setPhase(LinkPhase::ReadingSettings);
    }
}
