// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/logbook.h"

#include "logbook/logbook_index.h"
#include "recording/recording_table.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace {

std::vector<QString> recordingPaths(const QString &folder)
{
    std::vector<QString> paths;
    // Symbolic links to folders are not followed: a loop would never end.
    QDirIterator files(folder, {QStringLiteral("*.csv")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        paths.push_back(QFileInfo(files.next()).absoluteFilePath());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The loader's message names the file, which the listing shows anyway.
QString reasonOnly(const QString &error, const QString &path)
{
    const QString prefix = path + QStringLiteral(": ");
    return error.startsWith(prefix) ? error.mid(prefix.size()) : error;
}

// The table lives only as long as this call: one recording in memory at a
// time, whatever the folder holds.
void readRecording(LoggedRecording &recording, const EngineLimits &limits)
{
    RecordingTable table;
    const RecordingLoad load = loadRecording(recording.path, table);
    if (!load.ok()) {
        recording.skipped = reasonOnly(load.error, recording.path);
        return;
    }
    recording.recordedSeconds = table.seconds.back();
    recording.runs = loggedRuns(table, limits);
}

bool unchanged(const IndexEntry &entry, const LoggedRecording &file, const QString &limits)
{
    return entry.limits == limits && entry.recording.size == file.size
           && entry.recording.modified == file.modified;
}

} // namespace

LogbookTotals Logbook::totals() const
{
    LogbookTotals totals;
    for (const LoggedRecording &recording : recordings) {
        if (!recording.skipped.isEmpty()) {
            ++totals.skipped;
            continue;
        }
        ++totals.recordings;
        totals.runs += int(recording.runs.size());
        for (const LoggedRun &run : recording.runs)
            totals.engineSeconds += run.durationSeconds;
    }
    return totals;
}

Logbook readLogbook(const QString &folder, const EngineLimits &limits, const QString &indexPath)
{
    Logbook logbook;
    logbook.folder = QDir(folder).absolutePath();
    const QString fingerprint = limitsFingerprint(limits);
    const LogbookIndex index = readLogbookIndex(indexPath);
    // Other folders' files stay while they exist; this folder's are those found now.
    const QString within = logbook.folder.endsWith(u'/') ? logbook.folder : logbook.folder + u'/';
    LogbookIndex remembered;
    for (const auto &[path, entry] : index)
        if (!path.startsWith(within) && QFileInfo::exists(path))
            remembered.emplace(path, entry);
    for (const QString &path : recordingPaths(logbook.folder)) {
        const QFileInfo info(path);
        LoggedRecording recording;
        recording.path = path;
        // As before reading: a file that grows meanwhile is read again next time.
        recording.size = info.size();
        recording.modified = info.lastModified().toUTC();
        const auto known = index.find(path);
        if (known != index.end() && unchanged(known->second, recording, fingerprint)) {
            recording = known->second.recording;
        } else {
            readRecording(recording, limits);
            ++logbook.filesRead;
        }
        remembered[path] = IndexEntry{fingerprint, recording};
        logbook.recordings.push_back(std::move(recording));
    }
    writeLogbookIndex(indexPath, remembered);
    return logbook;
}

QString defaultLogbookIndexPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/torvane-console/logbook-index.json");
}
