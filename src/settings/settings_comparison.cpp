// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_comparison.h"

#include "settings/setting_names.h"

#include <QStringList>

namespace {

// The raw value, and the window's text when it says more than the number.
QString valueText(Setting setting, int value)
{
    const QString raw = QString::number(value);
    const QString shown = settingValueText(setting, value);
    return shown.isEmpty() || shown == raw ? raw : QStringLiteral("%1 (%2)").arg(raw, shown);
}

} // namespace

bool SettingsComparison::otherFirmware() const
{
    return !unitFirmware.isEmpty() && !fileFirmware.isEmpty() && unitFirmware != fileFirmware;
}

std::vector<SettingChange> SettingsComparison::changes() const
{
    std::vector<SettingChange> changed;
    for (const SettingComparison &row : rows)
        if (row.changed())
            changed.push_back({row.setting, *row.fileValue});
    return changed;
}

SettingsComparison compareSettings(const UnitState &unit, const SettingsFile &file)
{
    SettingsComparison comparison;
    for (int i = 0; i < settingCount; ++i)
        comparison.rows[i] = {Setting(i),
                              unit.settings[i].outOfRange.value_or(unit.settings[i].position),
                              file.values[i]};
    comparison.unitFirmware = unit.firmwareText;
    comparison.fileFirmware = file.header.firmware;
    return comparison;
}

QString comparisonText(const SettingsComparison &comparison)
{
    QList<QStringList> table{{QStringLiteral("Setting"), QStringLiteral("Unit"), QStringLiteral("File"), QString()}};
    for (const SettingComparison &row : comparison.rows) {
        const QLatin1String verdict = !row.fileValue ? QLatin1String("not in file")
                                      : row.changed() ? QLatin1String("changed")
                                                      : QLatin1String("same");
        table.append({settingCaption(row.setting), valueText(row.setting, row.unitValue),
                      row.fileValue ? valueText(row.setting, *row.fileValue) : QString(), verdict});
    }

    std::array<qsizetype, 4> widths{};
    for (const QStringList &cells : table)
        for (int column = 0; column < 4; ++column)
            widths[column] = std::max(widths[column], cells[column].size());

    QString text;
    for (const QStringList &cells : table) {
        QString line;
        for (int column = 0; column < 4; ++column)
            line += cells[column].leftJustified(widths[column] + 2);
        // Trailing spaces only get in the way of whoever pastes the table.
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    if (comparison.otherFirmware())
        text += QStringLiteral("\nThe file was saved from firmware revision %1; this unit has %2.\n")
                    .arg(comparison.fileFirmware, comparison.unitFirmware);
    return text;
}
