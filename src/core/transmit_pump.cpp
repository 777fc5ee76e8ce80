// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "link/serial_port.h"

namespace {

// Units above this revision take a whole command in one write; older ones
// need one character at a time and a gap wherever the queue holds "%".
constexpr double lastPacedRevision = 32;

} // namespace

void UnitLink::transmitNext()
{
    feedTransfer();
    if (queueAtGap) {
        if (clock() >= gapEnd)
            finishGap();
        return;
    }
    if (queue.isEmpty())
        return;

    if (unit.firmwareRevision > lastPacedRevision) {
        serial->send(queue); // a closed port drops it, as paced mode does
        queue.clear();
        return;
    }
    if (queue.front() == '%') {
        // The program carries on during the gap; the next character goes out
        // the moment it ends.
        queueAtGap = queue;
        gapEnd = clock() + commandGap;
        gapTimer.start();
        return;
    }
    sendFirstCharacter();
}

void UnitLink::finishGap()
{
    if (!queueAtGap)
        return;
    gapTimer.stop();
    if (queue == *queueAtGap)
        queue.remove(0, 1);
    queueAtGap.reset();
    sendFirstCharacter();
}

void UnitLink::sendFirstCharacter()
{
    if (queue.isEmpty())
        return;
    if (serial->isOpen())
        serial->send(queue.first(1));
    queue.remove(0, 1);
}
