// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "viewer/overlay_alignment.h"
#include "viewer/viewed_recording.h"

#include <memory>

// A second recording drawn over the first one, and where it lies on the
// first one's time axis. Times given to it are the first recording's seconds.
class OverlaidRecording {
public:
    OverlaidRecording(const ViewedRecording &first, std::unique_ptr<ViewedRecording> second,
                      OverlayAlignment alignment);

    const ViewedRecording &recording() const { return *second; }
    OverlayAlignment alignment() const { return how; }
    const OverlayOffset &offset() const { return shift; }
    void realign(const ViewedRecording &first, OverlayAlignment alignment);

    // The first recording's seconds as the second one's, and the span so moved.
    double ownSeconds(double firstSeconds) const { return firstSeconds - shift.seconds; }
    TimeSpan ownSpan(TimeSpan firstSpan) const
    {
        return {ownSeconds(firstSpan.first), ownSeconds(firstSpan.last)};
    }
    std::optional<size_t> rowNearest(double firstSeconds) const
    {
        return second->rowNearest(ownSeconds(firstSeconds));
    }
    RowSpan rowsWithin(TimeSpan firstSpan) const { return second->rowsWithin(ownSpan(firstSpan)); }

private:
    std::unique_ptr<ViewedRecording> second;
    OverlayAlignment how;
    OverlayOffset shift;
};
