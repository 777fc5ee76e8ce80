// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include <algorithm>

// A command from the user replaces whatever was still queued.

void UnitLink::editSetting(Setting setting, int position)
{
    const SettingDefinition &definition = definitionOf(setting);
    position = std::clamp(position, definition.minimum, definition.maximum);
    SettingState &state = unit.setting(setting);
    if (position == state.position)
        return;
    state.position = position;
    sendSetting(setting);
    emit settingChanged(setting);
}

// STORE CONFIG stays green until the unit acknowledges the store.
void UnitLink::storeSettings()
{
    queue = QByteArrayLiteral("/W\r");
}

// The unit never reports its mode: this is the console's record of the last
// mode command.
void UnitLink::selectAdvanceMode(AdvanceMode mode)
{
    unit.advanceMode = mode;
    emit advanceModeSelected(mode);
    queue = mode == AdvanceMode::Manual ? QByteArrayLiteral("/SM\r") : QByteArrayLiteral("/SA\r");
}

// Trimming up stops at the unit's maximum advance, as last reported.
void UnitLink::trimAdvance(int direction)
{
    if (unit.advanceMode != AdvanceMode::Manual)
        return;
    if (direction < 0)
        queue = QByteArrayLiteral("/S-\r");
    else if (unit.engine.advanceSteps < unit.reportedMaxAdvance)
        queue = QByteArrayLiteral("/S+\r");
}

void UnitLink::sendSetting(Setting setting)
{
    queue = '/' + QByteArray(1, definitionOf(setting).commandLetter)
            + QByteArray::number(unit.setting(setting).position) + '\r';
    setUnsaved(true);
}
