#include "link/serial_port.h"
#include "protocol/number_format.h"
#include "ui/dashform.h"

#include <QLineEdit>

namespace {

// Units above this revision take a whole command in one write; older ones
// need one character at a time and a rest between commands.
constexpr double lastPacedRevision = 32;

} // namespace

void DashForm::Timer3_Timer()
{
    if (txQueue.isEmpty())
        return;

    if (revisionNumber(revdata->text()) > lastPacedRevision) {
        MSComm1->Output(txQueue); // a closed port drops it, as paced mode does
        txQueue.clear();
        return;
    }

    txChar = txQueue.left(1);
    if (txChar == "%") {
        const QByteArray queueSeen = txQueue;
        Pause(0.25f);
        // Events during the pause may have replaced the queue; only the
        // marker we saw is dropped, never the first character of new text.
        if (txQueue == queueSeen)
            txQueue.remove(0, 1);
        txChar = txQueue.left(1);
    }
    if (!txChar.isEmpty() && MSComm1->PortOpen())
        MSComm1->Output(txChar);
    txQueue.remove(0, 1);
}

void DashForm::Pause(float NbSec)
{
    const auto finish = std::chrono::steady_clock::now()
                        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(NbSec));
    pauseHooks.yieldOnce();
    pauseHooks.waitUntil(finish);
}
