#pragma once

#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "link/memory_serial_port.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTimer>
#include <functional>

// A main window on the in-memory port, with the transmit pump's pause made
// instant and observable. Nothing here runs the event loop, so timers only
// tick when a test calls their handler.
struct FormFixture {
    MemorySerialPort *port = new MemorySerialPort;
    DashForm form{port};
    int pauses = 0;
    std::function<void()> duringPause;

    FormFixture()
    {
        form.pauseHooks.yieldOnce = [this] {
            if (duringPause)
                duringPause();
        };
        form.pauseHooks.waitUntil = [this](auto) { ++pauses; };
    }

    void receive(QByteArrayView bytes) { port->receive(bytes); }

    // Every byte the pump sends for the queue as it stands, tick by tick.
    QByteArray drainQueue(int maxTicks = 1000)
    {
        const qsizetype before = port->writes.size();
        for (int i = 0; i < maxTicks && !form.txQueue.isEmpty(); ++i)
            form.Timer3_Timer();
        QByteArray sent;
        for (qsizetype i = before; i < port->writes.size(); ++i)
            sent += port->writes[i];
        return sent;
    }

    // Port opened and the unit identified itself with the given revision.
    void connect(int revisionHex = 0x21, int portNumber = 1)
    {
        switch (portNumber) {
        case 2: form.com2_Click(); break;
        case 3: form.com3_Click(); break;
        case 4: form.com4_Click(); break;
        default: form.com1_Click(); break;
        }
        receive(QByteArrayLiteral("/I0\r"));
        receive("u" + QByteArray::number(revisionHex, 16).rightJustified(2, '0') + "\r");
        form.txQueue.clear();
    }
};

// Tests pin the locale so decimal texts do not depend on the machine.
inline void pinLocale(const QLocale &locale = QLocale::c())
{
    QLocale::setDefault(locale);
}
