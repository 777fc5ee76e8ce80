// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/recording_summary.h"

#include <QString>

class QWidget;

// Saving what the viewer shows. Each returns what went wrong, in words
// naming the file, or nothing when the file was written.

// The widget as it looks, in the screen's resolution.
QString saveWidgetPng(QWidget &widget, const QString &path);
// The widget drawn again on an A4 landscape page (so as lines, not pixels),
// under a title line.
QString saveWidgetPdf(QWidget &widget, const QString &title, const QString &path);
// The recording's header line and the rows in `rows`, their bytes copied as
// they stand in the file.
QString saveRowsCsv(const QString &recordingPath, const RecordingTable &table, RowSpan rows,
                    const QString &path);
