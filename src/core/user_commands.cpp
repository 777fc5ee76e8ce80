// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include <algorithm>

// The user's commands, handed to the queue like every other.

void UnitLink::editSetting(Setting setting, int position)
{
    const SettingDefinition &definition = definitionOf(setting);
    position = std::clamp(position, definition.minimum, definition.maximum);
    SettingState &state = unit.setting(setting);
    if (position == state.position)
        return;
    state.position = position;
    sendSetting(setting, ChangedBy::User);
    emit settingChanged(setting);
}

// STORE CONFIG stays green until the unit acknowledges the store.
void UnitLink::storeSettings()
{
    outgoing.submit({CommandKind::Store, QByteArrayLiteral("/W\r")});
}

// The unit never reports its mode: this is the console's record of the last
// mode command.
void UnitLink::selectAdvanceMode(AdvanceMode mode)
{
    unit.advanceMode = mode;
    emit advanceModeSelected(mode);
    outgoing.submit({CommandKind::Mode, mode == AdvanceMode::Manual ? QByteArrayLiteral("/SM\r")
                                                                     : QByteArrayLiteral("/SA\r")});
}

// Trimming up stops at the unit's maximum advance, as last reported.
void UnitLink::trimAdvance(int direction)
{
    if (unit.advanceMode != AdvanceMode::Manual)
        return;
    if (direction < 0)
        outgoing.submit({CommandKind::Mode, QByteArrayLiteral("/S-\r")});
    else if (unit.advanceSteps < unit.reportedMaxAdvance)
        outgoing.submit({CommandKind::Mode, QByteArrayLiteral("/S+\r")});
}

void UnitLink::sendSetting(Setting setting, ChangedBy by)
{
    outgoing.submit({CommandKind::Setting, '/' + QByteArray(1, definitionOf(setting).commandLetter)
                                               + QByteArray::number(unit.setting(setting).position)
                                               + '\r'});
    if (by == ChangedBy::User)
        userChangeUnstored = true;
    setUnsaved(true);
}
