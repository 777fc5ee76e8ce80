// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"
#include "logbook/logbook.h"

#include <QString>
#include <map>

// What the logbook remembers of each recording it read, so that a file that
// has not changed is not read again: a JSON file, by absolute path.
struct IndexEntry {
    QString limits; // limitsFingerprint of the limits its runs were counted with
    LoggedRecording recording;
};
using LogbookIndex = std::map<QString, IndexEntry>;

// Larger index files are not read: the logbook is rebuilt instead.
inline constexpr qint64 largestIndexBytes = 64 * 1024 * 1024;

// Empty for a missing file, one that does not parse or one of another format
// version; an entry that does not make sense is left out.
LogbookIndex readLogbookIndex(const QString &path);
// Atomically, creating the folder; false when it cannot be written.
bool writeLogbookIndex(const QString &path, const LogbookIndex &index);

// The same for equal limits, and different for any change that could change
// a count.
QString limitsFingerprint(const EngineLimits &limits);
