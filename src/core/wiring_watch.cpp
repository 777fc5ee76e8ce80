// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

// While the link waits for the unit, what comes back on the line is judged on
// every pump tick; the hint changes only when the verdict does. A port that
// failed to open hears nothing, but that says nothing about the cable.
void UnitLink::checkWiring()
{
    const WiringHint hint = serial->isOpen() ? wiring.verdict(clock()) : WiringHint::None;
    if (hint == currentWiringHint)
        return;
    currentWiringHint = hint;
    emit wiringHintChanged(hint);
}
