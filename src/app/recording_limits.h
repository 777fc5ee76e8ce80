// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"

#include <QString>
#include <optional>

// The limits a recording is judged by from the command line: those that need
// no unit (a recording holds no unit settings: no limit on engine speed or
// advance unless the file sets one), under the user's limits file. Nothing,
// with `error` set, when a limits file does not read: a listing from other
// limits than the user's would mislead.
std::optional<EngineLimits> recordingLimits(const QString &limitsFile, QString &error);
