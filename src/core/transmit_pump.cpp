// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

namespace {

// Units above this revision take a whole command in one write; older ones
// need one character at a time and a pause after some commands.
constexpr double lastPacedRevision = 32;

} // namespace

void UnitLink::transmitNext()
{
    feedTransfer();
    outgoing.transmitNext(unit.firmwareRevision > lastPacedRevision ? Pacing::WholeCommand
                                                                     : Pacing::CharacterByCharacter);
}
