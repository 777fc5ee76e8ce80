// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/temperature_scale.h"

#include <QString>

class ViewedRecording;

// The recording at a glance, as rich text for the panel beside the strips:
// the file, its start, end, length and rows, each engine run, the extremes,
// and whether the recording was cut off; temperatures in `scale`.
QString summaryText(const ViewedRecording &recording,
                    TemperatureScale scale = TemperatureScale::Celsius);
