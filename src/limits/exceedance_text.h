// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"
#include "protocol/temperature_scale.h"

#include <QString>

// The words for exceedances, as the window, the logger and the command line
// say them. Times are seconds since the data began; temperatures in `scale`.

// "CAUTION" or "ALARM".
QString levelMark(LimitLevel level);

// While it lasts: "RPM 3120: above its alarm limit 3000 for 4 s".
QString liveExceedanceText(const Exceedance &exceedance, double currentValue, double nowSeconds,
                           TemperatureScale scale = TemperatureScale::Celsius);

// One line per event for the command line:
// "RPM ALARM above 3000: 12.3 s to 18.9 s (6.6 s), peak 3210 at 15.1 s".
QString exceedanceLine(const Exceedance &exceedance,
                       TemperatureScale scale = TemperatureScale::Celsius);

// The logger's lines when one counts and when it ends.
// "RPM ALARM: above 3000 for 1.0 s, peak 3120 so far"
QString exceedanceStartedText(const Exceedance &exceedance, double nowSeconds,
                              TemperatureScale scale = TemperatureScale::Celsius);
// "RPM ALARM over: above 3000 for 6.6 s, peak 3210"
QString exceedanceEndedText(const Exceedance &exceedance,
                            TemperatureScale scale = TemperatureScale::Celsius);

// "1 exceedance", "3 exceedances".
QString exceedanceCountText(std::size_t count);
