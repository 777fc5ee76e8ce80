// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logbook/recording_report.h"

#include <QString>

class QPainter;
class QRectF;
class QWidget;
struct RecordingTable;

// A recording's report on one page for the logbook: the details, RPM and
// temperature over the whole recording, the runs and the exceedances (as many
// as fit, then how many more), and lines for a name, a signature and a date.
// `table` is the recording the report was made from; the plot reads a
// minimum and maximum per column of it, never every row.
void paintReportSheet(QPainter &painter, const QRectF &page, const RecordingReport &report,
                      const RecordingTable &table);
// Returns an error text, empty on success.
QString writeReportPdf(const RecordingReport &report, const RecordingTable &table,
                       const QString &path);
// The print dialog; the user may print or save as PDF from there.
void printReport(QWidget *parent, const RecordingReport &report, const RecordingTable &table);
