#include "support/link_fixture.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QScrollBar>
#include <cstdint>
#include <cstdlib>

// Feeds a fresh console arbitrary bytes from the line, interleaved with ticks
// of every timer and clicks of every button, on a headless window. The input
// is a program: each step is an opcode byte, and opcode 0 is followed by a
// length byte and that many received bytes.

namespace {

constexpr uint8_t opcodes = 22;

void moveEditor(WindowFixture &f, Setting setting, QAbstractSlider::SliderAction action)
{
    f.window.settingRows[int(setting)].editor->triggerAction(action);
}

void step(WindowFixture &f, uint8_t op)
{
    using A = QAbstractSlider;
    switch (op % opcodes) {
    case 1: f.link.pollNext(); break;
    case 2: f.window.gaugeAnimation().step(); break;
    case 3: f.link.transmitNext(); break;
    case 4: f.link.retryHandshake(); break;
    case 5: case 6: case 7: case 8: f.window.clickPort(op % opcodes - 4); break;
    case 9: moveEditor(f, Setting::MaxAdvance, A::SliderSingleStepAdd); break;
    case 10: moveEditor(f, Setting::MaxRpm, A::SliderSingleStepSub); break;
    case 11: moveEditor(f, Setting::AdvanceShift, A::SliderSingleStepSub); break;
    case 12: moveEditor(f, Setting::PulsesPerRev, A::SliderSingleStepAdd); break;
    case 13: moveEditor(f, Setting::Led, A::SliderSingleStepAdd); break;
    case 14: moveEditor(f, Setting::StartDelay, A::SliderSingleStepAdd); break;
    case 15: f.link.storeSettings(); break;
    case 16: f.link.selectAdvanceMode(op & 32 ? AdvanceMode::Manual : AdvanceMode::Automatic); break;
    case 17: f.link.trimAdvance(op & 32 ? 1 : -1); break;
    case 18: f.window.reset(); break;
    case 19: f.port->vanish(); break;
    case 20: f.port->raiseEvent(int(op) & 7); break;
    case 21: // time passes without a word from the unit
        f.advance(std::chrono::milliseconds(op & 32 ? 1000 : 60));
        f.link.checkSilence();
        break;
    default: break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QApplication(*argc, *argv); // lives for the whole run
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    WindowFixture console;
    size_t i = 0;
    while (i < size) {
        const uint8_t op = data[i++];
        if (op % opcodes == 0 && i < size) {
            const size_t wanted = data[i++];
            const size_t length = std::min(wanted, size - i);
            console.receive(QByteArrayView(reinterpret_cast<const char *>(data + i),
                                           qsizetype(length)));
            i += length;
        } else {
            step(console, op);
        }
    }
    return 0;
}
