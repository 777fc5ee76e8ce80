// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/overlaid_recording.h"

OverlaidRecording::OverlaidRecording(const ViewedRecording &first,
                                     std::unique_ptr<ViewedRecording> recording,
                                     OverlayAlignment alignment)
    : second(std::move(recording)), how(alignment), shift(overlayOffset(first, *second, alignment))
{
}

void OverlaidRecording::realign(const ViewedRecording &first, OverlayAlignment alignment)
{
    how = alignment;
    shift = overlayOffset(first, *second, alignment);
}
