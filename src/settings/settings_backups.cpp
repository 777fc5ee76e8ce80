// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_backups.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <tuple>
#include <utility>

namespace {

// "settings-2026-12-08_17-20-05.txt", and "-2", "-3"... when a second
// read-out lands in the same second.
const QRegularExpression backupName(
    QStringLiteral("^settings-([0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2})(?:-([0-9]+))?\\.txt$"));

struct Backup {
    QString stamp;
    int count; // 1 for the name without a number
    QString name;
    bool operator<(const Backup &other) const
    {
        return std::tie(stamp, count, name) < std::tie(other.stamp, other.count, other.name);
    }
};

// Oldest first. The plain name order would put "-2" before the name without
// a number and "-10" before "-2".
std::vector<Backup> backupsIn(const QDir &folder)
{
    std::vector<Backup> found;
    for (const QString &name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = backupName.match(name);
        if (!match.hasMatch())
            continue;
        const int count = match.hasCaptured(2) ? match.captured(2).toInt() : 1;
        found.push_back({match.captured(1), count, name});
    }
    std::sort(found.begin(), found.end());
    return found;
}

// True when the newest backup from the same firmware holds these values.
bool alreadyKept(const QDir &folder, const std::vector<Backup> &backups, const SettingsFile &file)
{
    for (auto backup = backups.rbegin(); backup != backups.rend(); ++backup) {
        const SettingsFileReading kept = readSettingsFile(folder.filePath(backup->name));
        if (kept.file && kept.file->header.firmware == file.header.firmware)
            return kept.file->values == file.values;
    }
    return false;
}

} // namespace

SettingsBackups::SettingsBackups(QString folder)
    : where(std::move(folder))
{
}

QString SettingsBackups::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

QString SettingsBackups::keep(const SettingsFile &file, QString &error)
{
    error.clear();
    const QDir folder(where);
    if (!folder.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot create the backup folder %1").arg(where);
        return QString();
    }
    if (alreadyKept(folder, backupsIn(folder), file))
        return QString();

    SettingsFile kept = file;
    if (!kept.header.savedAt.isValid())
        kept.header.savedAt = QDateTime::currentDateTime();
    const QByteArray text = formatSettingsFile(kept);
    const QString stem = QStringLiteral("settings-") + kept.header.savedAt.toString(u"yyyy-MM-dd_HH-mm-ss");

    QString path;
    QFile target;
    for (int count = 1;; ++count) {
        path = folder.filePath(count == 1 ? stem + QStringLiteral(".txt")
                                          : QStringLiteral("%1-%2.txt").arg(stem).arg(count));
        target.setFileName(path);
        if (target.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!QFile::exists(path)) {
            error = QStringLiteral("cannot create %1: %2").arg(path, target.errorString());
            return QString();
        }
    }
    if (target.write(text) != text.size() || !target.flush()) {
        error = QStringLiteral("cannot write %1: %2").arg(path, target.errorString());
        target.remove();
        return QString();
    }
    target.close();

    // A file that will not go now goes on a later read-out.
    std::vector<Backup> backups = backupsIn(folder);
    for (std::size_t i = 0; i + maximumFiles < backups.size(); ++i)
        QFile::remove(folder.filePath(backups[i].name));
    return path;
}
