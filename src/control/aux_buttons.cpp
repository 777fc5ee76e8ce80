#include "link/serial_port.h"
#include "ui/color_button.h"
#include "ui/dashform.h"
#include "ui/schmatic.h"

#include <QTimer>

// One wiring window at most; it does not block the main window.
void DashForm::Command4_Click()
{
    if (!schmatic)
        schmatic = new Schmatic();
    schmatic->setVisible(true);
    schmatic->raise();
    schmatic->activateWindow();
}

void DashForm::advset_Click()
{
    (void)MSComm1->PortOpen();
}

// Back to the state before any connection. The transmit pump keeps running:
// without it a later port click would queue the start-up sequence and never
// send it.
void DashForm::Command5_Click()
{
    if (MSComm1->PortOpen())
        MSComm1->setPortOpen(false);
    for (QWidget *w : {com1, com2, com3, com4})
        w->show();
    Command5->hide();
    for (QTimer *t : {Timer1, Timer2, Timer4})
        t->stop();
    Form_Load();
}
