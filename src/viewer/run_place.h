// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/logbook.h"

#include <cstddef>

// Where a run stands in a logbook: the table, the trend and the viewer all
// name a run by it.
struct RunPlace {
    size_t recording = 0;
    size_t run = 0;
    bool operator==(const RunPlace &) const = default;
};

inline const LoggedRun &runAt(const Logbook &logbook, RunPlace place)
{
    return logbook.recordings[place.recording].runs[place.run];
}
