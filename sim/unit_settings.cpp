// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/unit_settings.h"

const SettingField *settingForCommand(char letter)
{
    for (const SettingField &field : settingFields)
        if (field.command == letter)
            return &field;
    return nullptr;
}

const SettingField *settingForQuery(char letter)
{
    for (const SettingField &field : settingFields)
        if (field.query == letter)
            return &field;
    return nullptr;
}
