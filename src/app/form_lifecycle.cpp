#include "link/serial_port.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include "gauges/angular_gauge.h"

#include <QLineEdit>
#include <QScrollBar>

void DashForm::Form_Load()
{
    if (MSComm1->PortOpen())
        MSComm1->setPortOpen(false);
    statusbox->setText(QString());
    setTag(this, QStringLiteral("0"));
    manualMode = false;
    engineRunning = false;
    linkUp = false;
    resetPollCounters();
}

// Each value may be asked for twice; the revision box keeps a counter too,
// though the handshake, not the poll cycle, asks for it.
void DashForm::resetPollCounters()
{
    for (QObject *counter : std::initializer_list<QObject *>{
             revdata, conshiftdata, cycledata, tempdata, maxtempdata, voltsdial, rpmdial, leddata,
             pprdata, maxrpmdata, maxadvancedata})
        setTag(counter, QStringLiteral("2"));
}

// Closing the window sends nothing to the unit and leaves the picture window
// open; it only releases the port.
void DashForm::Form_Unload()
{
    if (MSComm1->PortOpen())
        MSComm1->setPortOpen(false);
}
