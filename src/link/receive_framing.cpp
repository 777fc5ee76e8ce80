#include "link/serial_port.h"
#include "ui/dashform.h"

namespace {

// No line of the unit comes near this length; an unfinished line past it is
// noise on the line and is dropped so memory stays bounded.
constexpr qsizetype rxBufferCap = 4096;

qsizetype nextTerminator(const QByteArray &buffer, qsizetype from)
{
    for (qsizetype i = from; i < buffer.size(); ++i) {
        if (buffer[i] == '\r' || buffer[i] == '\n')
            return i;
    }
    return -1;
}

} // namespace

// A USB adapter hands over whatever arrived since its last poll, so one batch
// may hold several lines, end inside one, or start with the LF of a CR LF
// pair. Every complete line is decoded on its own, in order; empty lines are
// dropped, and the unfinished rest waits for the next batch.
void DashForm::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != SerialPort::comEvReceive)
        return;
    rxBuffer.append(MSComm1->Input());

    qsizetype start = 0;
    for (qsizetype end; (end = nextTerminator(rxBuffer, start)) >= 0; start = end + 1) {
        if (end == start)
            continue;
        QByteArray line = rxBuffer.sliced(start, end - start + 1);
        HandleInput(line);
    }
    rxBuffer.remove(0, start);
    if (rxBuffer.size() > rxBufferCap)
        rxBuffer.clear();
}
