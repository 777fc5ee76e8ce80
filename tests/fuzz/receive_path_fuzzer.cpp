#include "gauges/angular_gauge.h"
#include "gauges/linear_gauge.h"
#include "link/memory_serial_port.h"
#include "support/quiet_console.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <cstdint>
#include <cstdlib>

// Feeds the console arbitrary bytes from the line, interleaved with ticks of
// every timer and clicks of every button, on a headless window. The input is
// a program: each step is an opcode byte, and opcode 0 is followed by a
// length byte and that many received bytes.

namespace {

constexpr uint8_t opcodes = 25;

struct Console : QuietConsole {
    Console()
    {
        form.pauseHooks.yieldOnce = [] {};
        form.pauseHooks.waitUntil = [](auto) {};
        form.clock = [this] { return now; };
    }

    std::chrono::steady_clock::time_point now{};

    // Back to the state of a freshly started console, so that each input
    // runs on its own.
    void reset()
    {
        port->setPortOpen(false);
        port->writes.clear();
        static_cast<FormState &>(form) = FormState{};
        for (QWidget *w : {static_cast<QWidget *>(form.com1), static_cast<QWidget *>(form.com2),
                           static_cast<QWidget *>(form.com3), static_cast<QWidget *>(form.com4),
                           static_cast<QWidget *>(form.Command4), static_cast<QWidget *>(form.AGauge2)})
            w->show();
        for (QLineEdit *box : {form.cycledata, form.leddata, form.pprdata, form.conshiftdata,
                               form.maxrpmdata, form.maxadvancedata, form.tempdata, form.maxtempdata})
            box->clear();
        form.revdata->setText(QStringLiteral("0"));
        form.Form_Load();
        form.txQueue.clear();
        form.storebutton->setBackColor(PackedColor::darkGrey);
    }

    void step(uint8_t op)
    {
        switch (op % opcodes) {
        case 1: form.Timer1_Timer(); break;
        case 2: form.Timer2_Timer(); break;
        case 3: form.Timer3_Timer(); break;
        case 4: form.Timer4_Timer(); break;
        case 5: form.com1_Click(); break;
        case 6: form.com2_Click(); break;
        case 7: form.com3_Click(); break;
        case 8: form.com4_Click(); break;
        case 9: form.maxadvancescroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case 10: form.maxrpmscroll->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case 11: form.conshiftscroll->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case 12: form.pprscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case 13: form.ledscroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case 14: form.cyclescroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case 15: form.storebutton_Click(); break;
        case 16: form.Command2_Click(); break;
        case 17: form.Command3_Click(); break;
        case 18: form.Command6_Click(); break;
        case 19: form.Command7_Click(); break;
        case 20: form.advset_Click(); break;
        case 21: form.Command5_Click(); break;
        case 22: port->vanish(); break;
        case 23: port->raiseEvent(int(op) & 7); break;
        case 24: // a second passes without a word from the unit
            now += std::chrono::seconds(1);
            form.checkUnitSilence();
            break;
        default: break;
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QApplication(*argc, *argv); // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Console console;
    console.reset();
    size_t i = 0;
    while (i < size) {
        const uint8_t op = data[i++];
        if (op % opcodes == 0 && i < size) {
            const size_t wanted = data[i++];
            const size_t length = std::min(wanted, size - i);
            console.port->receive(QByteArrayView(reinterpret_cast<const char *>(data + i),
                                                 qsizetype(length)));
            i += length;
        } else {
            console.step(op);
        }
    }
    if (console.form.rxBuffer.size() > 8192)
        std::abort(); // the receive buffer must stay bounded
    return 0;
}
