// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <QString>
#include <functional>

class ConsoleWindow;
class TemperatureScaleChoice;

// "Engine logbook...": the runs of every recording in `recordingsFolder`, by
// the limits that apply when it opens, in a window of their own that shows
// temperatures as `temperatureScale` says.
void attachEngineLogbookAction(ConsoleWindow &window, const QString &recordingsFolder,
                               std::function<EngineLimits()> limits,
                               TemperatureScaleChoice &temperatureScale);
