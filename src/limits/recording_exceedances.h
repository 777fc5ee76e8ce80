// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"

#include <cstddef>
#include <vector>

struct RecordingTable;

// The exceedances in a recording that may still grow: rows are read once,
// as they come, so following a long recording being written costs only its
// new rows.
class RecordingExceedances {
public:
    explicit RecordingExceedances(const EngineLimits &limits);

    // Takes the rows the table gained since the last call.
    void readNewRows(const RecordingTable &table);
    // Every exceedance so far, in the order they started; one still running
    // ends at its figure's last value.
    std::vector<Exceedance> all() const;

private:
    EngineLimits limits;
    ExceedanceDetector detector;
    std::vector<Exceedance> ended;
    std::size_t rowsRead = 0;
};

// Every exceedance in a recording, each ended (at the latest by the end of
// the rows), in the order they started.
std::vector<Exceedance> exceedancesIn(const RecordingTable &table, const EngineLimits &limits);

// Start order; a caution and an alarm starting together: the alarm first.
void sortByStart(std::vector<Exceedance> &exceedances);
