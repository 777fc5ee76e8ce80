// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"
#include "settings/settings_file.h"

#include <QObject>
#include <QTimer>
#include <optional>
#include <vector>

class SettingsKeeper;
class UnitLink;
struct SettingCheck;

// --save-settings and --apply-settings: the console without its window,
// waiting for a complete read-out, then doing the one job and quitting the
// application with its exit status.
class SettingsJob : public QObject {
    Q_OBJECT
public:
    static constexpr int readOutLimitMs = 30000;
    static constexpr int storeLimitMs = 5000;

    // `file` is the settings file to apply, already read; empty for a save.
    SettingsJob(UnitLink &link, SettingsKeeper &keeper, const CommandLine &options,
                std::optional<SettingsFile> file, QObject *parent = nullptr);

private:
    void readOut();
    void save();
    void apply();
    void given(const std::vector<SettingCheck> &checks);
    void stored();
    void finish(int status, const QString &message);

    UnitLink &link;
    SettingsKeeper &keeper;
    CommandLine options;
    std::optional<SettingsFile> file;
    QTimer readOutDeadline;
    QTimer storeDeadline;
    bool started = false;
};
