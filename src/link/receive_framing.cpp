#include "link/serial_port.h"
#include "ui/dashform.h"

namespace {

// No line of the unit comes near this length; an unterminated buffer past it
// is noise on the line and is dropped so memory stays bounded.
constexpr qsizetype rxBufferCap = 4096;

bool endsWithTerminator(const QByteArray &buffer)
{
    return buffer.endsWith('\r') || buffer.endsWith('\n');
}

} // namespace

// Only the buffer's last character decides: a terminator inside a batch does
// not dispatch, so the line ahead of it waits for the next terminator.
void DashForm::MSComm1_OnComm()
{
    if (MSComm1->CommEvent() != SerialPort::comEvReceive)
        return;
    rxBuffer.append(MSComm1->Input());
    if (endsWithTerminator(rxBuffer))
        HandleInput(rxBuffer);
    else if (rxBuffer.size() > rxBufferCap)
        rxBuffer.clear();
}
