// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/overlay_alignment.h"

#include "viewer/viewed_recording.h"

#include <optional>

namespace {

std::optional<double> firstRunSeconds(const ViewedRecording &recording)
{
    if (recording.runs().empty())
        return std::nullopt;
    return recording.table().seconds[recording.runs().front().first];
}

} // namespace

OverlayOffset overlayOffset(const ViewedRecording &first, const ViewedRecording &second,
                            OverlayAlignment alignment)
{
    if (alignment == OverlayAlignment::ClockTime) {
        // Whole milliseconds apart, whatever UTC offset each was written with.
        const double startsApart = first.table().start.msecsTo(second.table().start) / 1000.0;
        return {startsApart, false};
    }
    const std::optional<double> firstRun = firstRunSeconds(first);
    const std::optional<double> secondRun = firstRunSeconds(second);
    if (firstRun && secondRun)
        return {*firstRun - *secondRun, false};
    return {first.span().first - second.span().first, true};
}

OverlayAlignment suggestedAlignment(const ViewedRecording &first, const ViewedRecording &second)
{
    const double offset = overlayOffset(first, second, OverlayAlignment::ClockTime).seconds;
    const bool shareTime = second.span().first + offset <= first.span().last
                           && second.span().last + offset >= first.span().first;
    return shareTime ? OverlayAlignment::ClockTime : OverlayAlignment::EngineStart;
}
