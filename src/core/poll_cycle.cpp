// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

namespace {

constexpr std::array<const char *, polledValueCount> questions{
    "/c\r", "/d\r", "/e\r", "/z\r", "/w\r", "/x\r", "/l\r", "/t\r", "/m\r", "/n\r",
};

} // namespace

// Asks for one unanswered value per tick, each at most twice; then asks the
// unit to stream, and keeps asking for the propeller angle while the engine
// stands still. Never waits for an answer.
void UnitLink::pollNext()
{
    if (!queue.isEmpty() || unit.engineRunning)
        return;
    for (int i = 0; i < polledValueCount; ++i) {
        if (unit.asksLeft[i] > 0) {
            --unit.asksLeft[i];
            queue = questions[i];
            return;
        }
    }
    if (!streamOn)
        requestStream();
    else if (identifiedPhase())
        setPhase(LinkPhase::Streaming); // the unit streamed before it was asked
    queue = QByteArrayLiteral("/p\r");
}
