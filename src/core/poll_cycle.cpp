// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

namespace {

constexpr std::array<const char *, polledValueCount> questions{
    "/c\r", "/d\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r", "/m\r", "/n\r",
};

} // namespace

// Asks one question per tick into an idle queue: the read-out's next, then
// for the stream, then for the propeller angle while the engine stands
// still. Never waits for an answer. While the unit is silent only the
// propeller question goes out, which any unit answers: a rebooted one as
// readily as one whose wiring came back.
void UnitLink::pollNext()
{
    if (!outgoing.idle() || unit.engineRunning)
        return;
    if (const std::optional<PolledValue> value = readOut.nextQuestion()) {
        outgoing.submit({CommandKind::Question, questions[int(*value)]});
        return;
    }
    if (readOut.running())
        finishReadOut();
    if (currentPhase != LinkPhase::UnitSilent) {
        if (!streamOn)
            requestStream();
        else if (identifiedPhase())
            setPhase(LinkPhase::Streaming); // the unit streamed before it was asked
    }
    outgoing.submit({CommandKind::Question, QByteArrayLiteral("/p\r")});
}
