// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/logged_run.h"
#include "protocol/temperature_scale.h"

#include <QRectF>
#include <vector>

class PageScale;
class QPainter;
struct RecordingTable;

// Engine speed and temperature over the whole recording, in two strips on one
// clock-time axis, the engine runs shaded. Each strip is drawn from a minimum
// and maximum per column (a pyramid of the column), so a long recording
// costs a few lines a column, not a line a row. The temperature's strip is
// scaled and labelled in `temperatureScale`.
void paintReportPlot(QPainter &painter, const PageScale &scale, const QRectF &area,
                     const RecordingTable &table, const std::vector<LoggedRun> &runs,
                     TemperatureScale temperatureScale);

// Columns the traces are drawn in per point of the page: finer than the
// printed line is wide.
inline constexpr double reportPlotColumnsPerPoint = 2;
