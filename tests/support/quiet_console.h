#pragma once

#include "link/memory_serial_port.h"
#include "ui/dashform.h"

#include <QTimer>

// A window on the in-memory port whose timers only tick when called, for
// benchmarks and the fuzz harness.
struct QuietConsole {
    MemorySerialPort *port = new MemorySerialPort;
    DashForm form{port};

    QuietConsole()
    {
        for (QTimer *t : {form.Timer1, form.Timer2, form.Timer3, form.Timer4})
            t->stop();
    }
};
