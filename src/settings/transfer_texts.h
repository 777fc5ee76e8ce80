// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings_transfer.h"

#include <QString>
#include <vector>

// What the user reads about giving the unit a set of settings.
QString refusalText(TransferRefusal refusal);
QString outcomeText(const SettingCheck &check);
// True when every setting was taken or cannot be read back to tell.
bool allTaken(const std::vector<SettingCheck> &checks);
