// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/transfer_texts.h"

#include "settings/setting_names.h"

#include <algorithm>

QString refusalText(TransferRefusal refusal)
{
    switch (refusal) {
    case TransferRefusal::None: break;
    case TransferRefusal::NotConnected: return QStringLiteral("No unit is connected.");
    case TransferRefusal::NotReadOut:
        return QStringLiteral("The unit has not been read yet: connect, and wait until its "
                              "settings are shown.");
    case TransferRefusal::EngineRunning:
        return QStringLiteral("The engine is running: ignition settings are not changed while it "
                              "turns. Stop the engine first.");
    case TransferRefusal::Busy: return QStringLiteral("Settings are still being sent to the unit.");
    }
    return {};
}

QString outcomeText(const SettingCheck &check)
{
    using Outcome = SettingCheck::Outcome;
    switch (check.outcome) {
    case Outcome::Taken: return QStringLiteral("taken");
    case Outcome::Refused:
        return QStringLiteral("NOT TAKEN: the unit holds %1")
            .arg(settingValueText(check.setting, check.reported.value_or(0)));
    case Outcome::NoAnswer: return QStringLiteral("NOT CONFIRMED: the unit did not answer");
    case Outcome::NotReadable:
        return QStringLiteral("sent; the unit cannot report a negative shift to confirm it");
    case Outcome::NotSent: return QStringLiteral("NOT SENT");
    case Outcome::UnitSilent: return QStringLiteral("NOT CONFIRMED: the unit fell silent");
    }
    return {};
}

bool allTaken(const std::vector<SettingCheck> &checks)
{
    return std::all_of(checks.begin(), checks.end(), [](const SettingCheck &c) {
        return c.outcome == SettingCheck::Outcome::Taken
               || c.outcome == SettingCheck::Outcome::NotReadable;
    });
}
