// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/exceedance_detector.h"
#include "logbook/logged_run.h"
#include "protocol/temperature_scale.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct RecordingTable;

// What one recording holds, for a page in the logbook: its time span, each
// engine run with its peaks, and every exceedance of the limits.
struct ReportTotals {
    double engineSeconds = 0; // the runs' durations together
    int cautions = 0;
    int alarms = 0;
};

struct RecordingReport {
    QString fileName; // without its folder
    // The unit's firmware revision ("33"), when the recording holds the
    // unit's answer to "/u".
    std::optional<QString> firmwareRevision;
    QDateTime start; // local time with its UTC offset
    QDateTime end;
    double durationSeconds = 0;
    size_t rows = 0;
    bool lastRowCutOff = false;
    std::vector<LoggedRun> runs;
    std::vector<Exceedance> exceedances; // in the order they started
    ReportTotals totals;
    // How its texts and its page show temperatures; the figures above stay in deg C.
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
};

// `table` as loaded from `path`; the file is looked into again only for the
// firmware revision, and only at its start.
RecordingReport recordingReport(const QString &path, const RecordingTable &table,
                                bool lastRowCutOff, const EngineLimits &limits,
                                TemperatureScale scale = TemperatureScale::Celsius);

// The report as plain text, for a terminal or a file.
QString reportText(const RecordingReport &report);

// The words the text and the printed page share.
struct ReportDetail {
    QString caption; // "Firmware revision"
    QString value;
};
// File, firmware, start, end, duration, rows, runs and exceedances.
QList<ReportDetail> reportDetails(const RecordingReport &report);
QStringList runTableHeadings(TemperatureScale scale = TemperatureScale::Celsius);
QStringList runTableCells(const RecordingReport &report, size_t runIndex);
// The clock time it began, then the command line's words for it.
QString reportExceedanceLine(const RecordingReport &report, const Exceedance &exceedance);
// "2026-12-07 09:00:00 UTC+01:00"
QString reportTimeText(const QDateTime &time);
