#include "ui/dashform.h"

#include "gauges/animation_rest.h"
#include "link/serial_port.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/port_tooltips.h"
#include "ui/schmatic.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTimer>
#include <chrono>
#include <thread>

namespace {

// The pause blocks the whole window on purpose (the unit needs the gap), but
// sleeps rather than spins, and on the monotonic clock so midnight or a clock
// change cannot stretch it.
PauseHooks realPause()
{
    return PauseHooks{
        [] { QCoreApplication::processEvents(QEventLoop::AllEvents); },
        [](std::chrono::steady_clock::time_point finish) { std::this_thread::sleep_until(finish); },
    };
}

} // namespace

DashForm::DashForm(SerialPort *port, QWidget *parent) : QWidget(parent), MSComm1(port)
{
    pauseHooks = realPause();
    MSComm1->setParent(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    setTag(MSComm1, QStringLiteral("0"));
    buildControls();
    connectEvents();
    installPortTooltips(*this);
    Form_Load();
}

DashForm::~DashForm()
{
    if (schmatic)
        schmatic->deleteLater();
}

void DashForm::connectEvents()
{
    connect(com1, &QPushButton::clicked, this, &DashForm::com1_Click);
    connect(com2, &QPushButton::clicked, this, &DashForm::com2_Click);
    connect(com3, &QPushButton::clicked, this, &DashForm::com3_Click);
    connect(com4, &QPushButton::clicked, this, &DashForm::com4_Click);
    connect(Command2, &QPushButton::clicked, this, &DashForm::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &DashForm::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &DashForm::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &DashForm::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &DashForm::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &DashForm::Command7_Click);
    connect(advset, &QPushButton::clicked, this, &DashForm::advset_Click);
    connect(storebutton, &QPushButton::clicked, this, &DashForm::storebutton_Click);

    // valueChanged fires only for a real change, whoever moved the bar, and
    // runs the handler at once: the decoders rely on both.
    connect(maxadvancescroll, &QScrollBar::valueChanged, this, &DashForm::maxadvancescroll_Change);
    connect(maxrpmscroll, &QScrollBar::valueChanged, this, &DashForm::maxrpmscroll_Change);
    connect(conshiftscroll, &QScrollBar::valueChanged, this, &DashForm::conshiftscroll_Change);
    connect(pprscroll, &QScrollBar::valueChanged, this, &DashForm::pprscroll_Change);
    connect(ledscroll, &QScrollBar::valueChanged, this, &DashForm::ledscroll_Change);
    connect(cyclescroll, &QScrollBar::valueChanged, this, &DashForm::cyclescroll_Change);

    connect(Timer1, &QTimer::timeout, this, &DashForm::Timer1_Timer);
    animationRest = new AnimationRest(*this);
    connect(Timer2, &QTimer::timeout, animationRest, &AnimationRest::tick);
    connect(Timer3, &QTimer::timeout, this, &DashForm::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &DashForm::Timer4_Timer);
    // The silence check rides on the pump's wake-ups: a timer of its own
    // would wake the program several more times a second.
    connect(Timer3, &QTimer::timeout, this, &DashForm::checkUnitSilence);

    connect(MSComm1, &SerialPort::OnComm, this, &DashForm::MSComm1_OnComm);
    connect(MSComm1, &SerialPort::connectionLost, this, &DashForm::connectionLost);
}

void DashForm::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}
