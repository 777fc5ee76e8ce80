// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

struct DecodedLine;

// Takes one decoded line into the latest value of every recorded column, as
// the decoders produce them for the window's gauges. True when it makes a
// row: telemetry or a "p" reply. The "x" and "w" replies move the engine
// speed and bus voltage as they move the gauges, without a row of their own.
bool takeRecordedFigures(FigureValues &values, const DecodedLine &line);
