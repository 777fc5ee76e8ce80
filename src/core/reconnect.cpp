// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

// After a lost connection the link waits for the same adapter and, once it
// opens, connects as a click on the same button would. Until then the status
// stays "Connection lost - Port N" and a click on any button ends the wait.

void UnitLink::setReconnecting(bool on)
{
    reconnecting = on;
    if (!on)
        stopWaitingForAdapter();
}

void UnitLink::waitForAdapter()
{
    const QString identity = serial->adapterIdentity();
    if (!reconnecting || identity.isEmpty())
        return;
    adapterAwaited = identity;
    adapterWait.start();
    emit adapterAwaitedChanged(identity);
}

void UnitLink::stopWaitingForAdapter()
{
    if (adapterAwaited.isEmpty())
        return;
    adapterWait.stop();
    adapterAwaited.clear();
    emit adapterAwaitedChanged(QString());
}

bool UnitLink::reopenAwaitedAdapter()
{
    if (adapterAwaited.isEmpty() || serial->reopenAdapter(adapterAwaited) != PortResult::Done)
        return false;
    stopWaitingForAdapter();
    beginConnection();
    return true;
}
