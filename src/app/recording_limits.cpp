// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording_limits.h"

#include "limits/limits_file.h"

std::optional<EngineLimits> recordingLimits(const QString &limitsFile, QString &error)
{
    const EngineLimits defaults = defaultLimits(std::nullopt, std::nullopt);
    const StartingLimits starting = startingLimits(limitsFile);
    if (!starting.error.isEmpty()) {
        error = starting.error;
        return std::nullopt;
    }
    return starting.file ? starting.file->over(defaults) : defaults;
}
