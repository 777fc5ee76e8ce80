// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ViewedRecording;

// How a second recording is laid over the first one's time axis.
enum class OverlayAlignment {
    // Both units recorded at once: the same moment on the same spot.
    ClockTime,
    // Two runs compared: each recording's first engine run starts on the same spot.
    EngineStart,
};

struct OverlayOffset {
    // Added to the second recording's seconds, gives the first one's.
    double seconds = 0;
    // Aligned by engine start, but one recording has no engine run: their
    // first rows were put on the same spot instead.
    bool fellBackToFirstRows = false;
};

// Clock time when the two recordings share some time of day (two units
// recorded at once), engine start when they do not.
OverlayAlignment suggestedAlignment(const ViewedRecording &first, const ViewedRecording &second);

OverlayOffset overlayOffset(const ViewedRecording &first, const ViewedRecording &second,
                            OverlayAlignment alignment);
