// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"
#include "protocol/decoded_line.h"

#include <QString>
#include <chrono>
#include <optional>

// What is probably wrong with the cable, judged from what comes back while
// the console waits for the unit to identify itself.
enum class WiringHint {
    None,
    // Not a byte: the unit is unpowered, or transmit and receive are swapped,
    // or ground is missing.
    NothingHeard,
    // The start-up commands come back: a loopback, or an adapter that echoes.
    OwnCommandsBack,
    // Bytes, but never a line that decodes: another speed or framing, or noise.
    NoLineUnderstood,
};

class WiringDiagnosis {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // Ten rounds of start-up commands: a powered, well-wired unit answers
    // the first.
    static constexpr std::chrono::seconds listenFor{5};

    void start(TimePoint now);
    void stop();
    bool running() const { return waitingSince.has_value(); }

    void heardBytes(TimePoint now);
    // True when the line is one of the console's own start-up commands come
    // back, which must not be taken for the unit's answer.
    bool heardLine(const DecodedLine &line, TimePoint now);

    // Judged on what came in during the last listenFor, so the hint follows
    // a cable being fixed or swapped again.
    WiringHint verdict(TimePoint now) const;

private:
    static bool within(const std::optional<TimePoint> &when, TimePoint now);

    std::optional<TimePoint> waitingSince;
    std::optional<TimePoint> lastBytes;
    std::optional<TimePoint> lastOwnCommand;
    std::optional<TimePoint> lastUnderstood;
    // The unit acknowledges "/I0" with the same text; only right after our
    // "/*" came back is it our own.
    bool ownStopCameBack = false;
};

// The hint in a sentence for the window, its tooltip and stderr; empty for
// None.
QString wiringHintText(WiringHint hint);
// The line for stderr when the hint changes to `hint` while the link is in
// `phase`; empty when there is nothing worth saying.
QString wiringChangeLine(WiringHint hint, LinkPhase phase);
