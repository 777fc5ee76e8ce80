#include "gauges/angular_gauge.h"
#include "link/serial_port.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include <QLineEdit>
#include <QTimer>

// The device failed or vanished (a USB adapter pulled out). Put the window
// back where a click on a port button connects and reads the unit afresh;
// the gauges and pump keep running. The unit plugged back in may be another
// one, of any revision, so it starts in paced mode.
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
    txQueue.clear();
    revdata->setText(QStringLiteral("0"));
    resumingAfterSilence = false;
    forgetUnit();
}

// What the console learnt from a unit it can no longer hear: a half line
// would be glued to the next unit's first answer, and stale engine figures
// must not look live, so the bars fall to zero.
void DashForm::forgetUnit()
{
    Timer4->stop();
    handshakeCommands.clear();
    rxBuffer.clear();
    resetPollCounters();
    linkUp = false;
    lastHeard.reset();
    if (engineRunning) {
        engineRunning = false;
        AGauge2->show();
    }
    engineRpm = 0;
    advanceSteps = 0;
    advanceDegrees = 0;
    busVolts = 0;
    pair12Value = 0;
    pair34Value = 0;
}
