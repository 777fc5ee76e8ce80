// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <QString>
#include <functional>

class ConsoleWindow;
class TemperatureScaleChoice;

// "Open recording..." (Ctrl+L): a recording in a viewer window of its own,
// the file dialog starting in `recordingsFolder`. Any number may be open;
// each shows the exceedances of the limits that apply when it opens, and
// temperatures as `temperatureScale` says.
void attachOpenRecordingAction(ConsoleWindow &window, const QString &recordingsFolder,
                               std::function<EngineLimits()> limits,
                               TemperatureScaleChoice &temperatureScale);
