#include "link/serial_port.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/timer_enabled.h"

#include <QLineEdit>
#include <QTimer>

namespace {

const QByteArray startupSequence = QByteArrayLiteral("/*\r%/I0\r%/u\r");

} // namespace

void DashForm::com1_Click() { portButtonClick(1, true); }
void DashForm::com2_Click() { portButtonClick(2, true); }
void DashForm::com3_Click() { portButtonClick(3, true); }
// COM4 lets a command still in the queue go out first; the retry timer
// queues the start-up sequence once the queue is empty.
void DashForm::com4_Click() { portButtonClick(4, false); }

// Close, choose, open, carrying on past failures and acting on the last one:
// a failed close followed by a good open still counts as a failure.
void DashForm::portButtonClick(int16_t port, bool queueAtOnce)
{
    int error = SerialPort::noError;
    auto record = [&error](int result) {
        if (result != SerialPort::noError)
            error = result;
    };
    if (MSComm1->PortOpen())
        record(MSComm1->setPortOpen(false));
    record(MSComm1->setCommPort(port));
    record(MSComm1->setPortOpen(true));

    if (error == SerialPort::errorPortInUse) {
        statusbox->setText(QStringLiteral("No Comm Port"));
        return;
    }
    if (error != SerialPort::noError)
        return;

    armStartupRetry();
    if (queueAtOnce)
        txQueue = handshakeCommands;
    statusbox->setText(QStringLiteral("Waiting for connection - Port ") + QString::number(port));
    setTag(this, QStringLiteral("1"));
}

void DashForm::armStartupRetry()
{
    handshakeCommands = startupSequence;
    setTimerEnabled(Timer4, true);
}

void DashForm::Timer4_Timer()
{
    if (txQueue.isEmpty())
        txQueue = handshakeCommands;
}
