// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "support/link_fixture.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>

// Feeds a fresh unit link arbitrary bytes from the line, interleaved with
// ticks of every timer and every user action, and steps headless gauges
// toward what it decoded. The input is a program: each step is an opcode
// byte, and opcode 0 is followed by a length byte and that many received
// bytes.

namespace {

constexpr uint8_t opcodes = 22;

struct Gauges {
    LinearGauge bars;
    AngularGauge propellerDial;
    GaugeAnimation animation{bars, propellerDial};
};

// Built once: a window per input would cost twenty times the inputs.
Gauges &gauges()
{
    static Gauges shared;
    return shared;
}

void stepGauges(const UnitLink &link)
{
    gauges().animation.setTargets(link.state().figures);
    gauges().animation.step();
}

void moveEditor(UnitLink &link, Setting setting, int by)
{
    link.editSetting(setting, link.state().setting(setting).position + by);
}

void step(LinkFixture &f, uint8_t op)
{
    switch (op % opcodes) {
    case 1: f.link.pollNext(); break;
    case 2: stepGauges(f.link); break;
    case 3: f.link.transmitNext(); break;
    case 4: f.link.retryHandshake(); break;
    case 5: case 6: case 7: case 8: f.link.openPort(int16_t(op % opcodes - 4)); break;
    case 9: moveEditor(f.link, Setting::MaxAdvance, 1); break;
    case 10: moveEditor(f.link, Setting::MaxRpm, -1); break;
    case 11: moveEditor(f.link, Setting::AdvanceShift, -1); break;
    case 12: moveEditor(f.link, Setting::PulsesPerRev, 1); break;
    case 13: moveEditor(f.link, Setting::Led, 1); break;
    case 14: moveEditor(f.link, Setting::StartDelay, 1); break;
    case 15: f.link.storeSettings(); break;
    case 16: f.link.selectAdvanceMode(op & 32 ? AdvanceMode::Manual : AdvanceMode::Automatic); break;
    case 17: f.link.trimAdvance(op & 32 ? 1 : -1); break;
    case 18: f.link.reset(); break;
    case 19: f.port->vanish(); break;
    case 20:
        f.link.giveSettings({{Setting::MaxRpm, int(op) & 15}, {Setting::Led, int(op) & 3}});
        break;
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
    LinkFixture console;
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
