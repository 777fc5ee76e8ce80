// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_job.h"

#include "core/unit_link.h"
#include "settings/setting_names.h"
#include "settings/settings_comparison.h"
#include "settings/settings_keeper.h"
#include "settings/transfer_texts.h"

#include <QCoreApplication>
#include <cstdio>

SettingsJob::SettingsJob(UnitLink &link, SettingsKeeper &keeper, const CommandLine &options,
                         std::optional<SettingsFile> file, QObject *parent)
    : QObject(parent), link(link), keeper(keeper), options(options), file(std::move(file))
{
    connect(&link, &UnitLink::settingsReadOut, this, &SettingsJob::readOut);
    connect(&link, &UnitLink::settingsGiven, this, &SettingsJob::given);
    connect(&link, &UnitLink::settingsStored, this, &SettingsJob::stored);
    connect(&link, &UnitLink::statusChanged, this, [](const QString &status) {
        if (!status.isEmpty())
            std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(status));
    });
    readOutDeadline.setSingleShot(true);
    connect(&readOutDeadline, &QTimer::timeout, this, [this] {
        finish(1, QStringLiteral("the unit on COM%1 did not complete a read-out in %2 s")
                      .arg(this->options.connectPort)
                      .arg(readOutLimitMs / 1000));
    });
    readOutDeadline.start(readOutLimitMs);
    storeDeadline.setSingleShot(true);
    connect(&storeDeadline, &QTimer::timeout, this, [this] {
        finish(1, QStringLiteral("the unit did not acknowledge STORE CONFIG"));
    });
}

void SettingsJob::readOut()
{
    if (started)
        return;
    started = true;
    readOutDeadline.stop();
    if (options.settingsJob == SettingsJobKind::Save)
        save();
    else
        apply();
}

void SettingsJob::save()
{
    const QString error = keeper.saveTo(options.settingsFile);
    if (!error.isEmpty())
        finish(1, QStringLiteral("the settings were not saved: %1").arg(error));
    else
        finish(0, QStringLiteral("saved the settings of COM%1 into %2")
                      .arg(options.connectPort)
                      .arg(options.settingsFile));
}

void SettingsJob::apply()
{
    const SettingsComparison comparison = compareSettings(link.state(), *file);
    std::fputs(qUtf8Printable(comparisonText(comparison)), stdout);
    std::fflush(stdout);
    const std::vector<SettingChange> changes = comparison.changes();
    if (changes.empty()) {
        finish(0, QStringLiteral("the unit already holds every value in %1")
                      .arg(options.settingsFile));
        return;
    }
    const TransferRefusal refusal = link.giveSettings(changes);
    if (refusal != TransferRefusal::None)
        finish(1, QStringLiteral("nothing was sent: %1").arg(refusalText(refusal)));
}

void SettingsJob::given(const std::vector<SettingCheck> &checks)
{
    for (const SettingCheck &check : checks)
        std::printf("%s: %s\n", qUtf8Printable(settingCaption(check.setting)),
                    qUtf8Printable(outcomeText(check)));
    std::fflush(stdout);
    if (!allTaken(checks)) {
        finish(1, QStringLiteral("the unit did not take every change; nothing was stored"));
        return;
    }
    if (!options.storeAfterApply) {
        finish(0, QStringLiteral("the unit took every change; it stores them on STORE CONFIG "
                                 "(--store)"));
        return;
    }
    link.storeSettings();
    storeDeadline.start(storeLimitMs);
}

void SettingsJob::stored()
{
    if (storeDeadline.isActive())
        finish(0, QStringLiteral("the unit took and stored every change"));
}

void SettingsJob::finish(int status, const QString &message)
{
    readOutDeadline.stop();
    storeDeadline.stop();
    disconnect(&link, nullptr, this, nullptr);
    std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(message));
    QCoreApplication::exit(status);
}
