// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ViewedRecording;

// The recording at a glance, as rich text for the panel beside the strips:
// the file, its start, end, length and rows, each engine run, the extremes,
// and whether the recording was cut off.
QString summaryText(const ViewedRecording &recording);
