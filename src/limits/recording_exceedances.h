// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"

#include <vector>

struct RecordingTable;

// Every exceedance in a recording, each ended (at the latest by the end of
// the rows), in the order they started.
std::vector<Exceedance> exceedancesIn(const RecordingTable &table, const EngineLimits &limits);

// Start order; a caution and an alarm starting together: the alarm first.
void sortByStart(std::vector<Exceedance> &exceedances);
