// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Texts of the configuration boxes, shared by the replies that report a
// setting and the acknowledgements that confirm one.

// An advance in the unit's steps of 1.4 degrees, shown in degrees.
QString advanceDegreesText(int steps);

// Maximum RPM in the unit's units of 256 RPM, shown in RPM.
QString maxRpmText(int units);

// The LED setting's name: "Kill Sw", "Mode", "Diag", "Sensor"; empty beyond.
QString ledText(int setting);
