// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settings_file.h"

#include <QString>

// Every complete read-out kept as a settings file, without asking: one file
// per read-out, named by its date and time, never overwritten. A read-out
// identical to the newest backup of the same firmware revision makes no new
// file; past the limit, the oldest files go.
class SettingsBackups {
public:
    static constexpr int maximumFiles = 1000;

    explicit SettingsBackups(QString folder);
    // "backups" in the program's data folder.
    static QString defaultFolder();

    const QString &folder() const { return where; }
    // Returns the new file's path; empty when none was needed or on failure,
    // which sets `error`.
    QString keep(const SettingsFile &file, QString &error);

private:
    QString where;
};
