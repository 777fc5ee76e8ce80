// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"
#include "logbook/logged_run.h"

#include <QDateTime>
#include <QString>
#include <vector>

// Every recording in a folder and below, with its runs.
struct LoggedRecording {
    QString path;    // absolute
    qint64 size = 0; // as read; a file that grew since is read again
    QDateTime modified;
    QString skipped; // why it gave no runs ("not a recording: ..."); empty when read
    double recordedSeconds = 0;
    std::vector<LoggedRun> runs;
};

struct LogbookTotals {
    int recordings = 0; // read, skipped ones left out
    int skipped = 0;
    int runs = 0;
    double engineSeconds = 0;
};

struct Logbook {
    QString folder; // absolute
    std::vector<LoggedRecording> recordings; // by path
    int filesRead = 0; // read this time; the others came from the index
    LogbookTotals totals() const;
};

// Reads a folder's recordings, taking what `indexPath` remembers of a file of
// the same size and modification time (and the same limits) instead of
// reading it again, and writes the index back. A recording still being
// written is read up to its last whole row. Unreadable files are listed as
// skipped, never fatal; so is an index that cannot be read or written. The
// index keeps what it knows of files outside `folder` while they exist.
Logbook readLogbook(const QString &folder, const EngineLimits &limits, const QString &indexPath);
// ~/.cache/torvane-console/logbook-index.json: only spares work, so it lives
// with what may be deleted.
QString defaultLogbookIndexPath();
