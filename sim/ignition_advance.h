// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/unit_settings.h"

// The automatic advance in steps of 1.4 degrees: retarded for starting,
// rising with engine speed to the maximum-advance setting, then moved by the
// advance shift. Never negative; 0 while nothing fires.
int automaticAdvance(int rpm, const UnitSettings &settings);
