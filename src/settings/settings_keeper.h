// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_backups.h"
#include "settings/settings_file.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class UnitLink;

// The settings side of a session with a unit: it keeps a backup of every
// complete read-out, remembers what the unit held before each store, and
// writes the unit's settings as a file.
class SettingsKeeper : public QObject {
    Q_OBJECT
public:
    SettingsKeeper(UnitLink &link, const QString &backupFolder, QObject *parent = nullptr);

    // The unit's settings now, with a header saying when, where and which
    // firmware.
    SettingsFile current() const;
    // For each setting stored this session with a new value: what the unit
    // held at the session's first read-out.
    const std::array<std::optional<int>, settingCount> &before() const { return valuesBefore; }
    // Writes current() into `path` whole or not at all; returns an error
    // text, empty on success.
    QString saveTo(const QString &path) const;
    const QString &backupFolder() const { return backups.folder(); }

    // "Torvane settings" in the user's documents.
    static QString defaultFolder();
    static QString defaultFileName();

signals:
    // A backup could not be written; the session goes on.
    void backupFailed(const QString &error);

private:
    void readOut();
    void stored();

    UnitLink &link;
    SettingsBackups backups;
    std::optional<std::array<int, settingCount>> firstReadOut;
    std::array<std::optional<int>, settingCount> valuesBefore{};
};
