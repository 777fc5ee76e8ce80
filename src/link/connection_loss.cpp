#include "gauges/angular_gauge.h"
#include "link/serial_port.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include <QLineEdit>
#include <QTimer>

// The device failed or vanished (a USB adapter pulled out). Put the window
// back where a click on a port button connects and reads the unit afresh;
// the gauges and pump keep running.
void DashForm::connectionLost()
{
    if (MSComm1->PortOpen())
        MSComm1->setPortOpen(false);
    statusbox->setText(QStringLiteral("Connection lost - Port ")
                       + QString::number(MSComm1->CommPort()));
    for (QWidget *w : {com1, com2, com3, com4, Command4})
        w->show();
    setTag(this, QStringLiteral("0"));
    Timer1->stop();
    Timer4->stop();
    txQueue.clear();
    handshakeCommands.clear();
    resetPollCounters();
    linkUp = false;
    if (engineRunning) {
        engineRunning = false;
        AGauge2->show();
    }
}
