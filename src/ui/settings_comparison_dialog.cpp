// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings_comparison_dialog.h"

#include "access/screen_reader_text.h"
#include "core/unit_link.h"
#include "settings/setting_names.h"
#include "settings/transfer_texts.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr SpokenName spokenNames[] = {
    {"comparisonTable", "Settings in the unit and in the file"},
    // Its description is where applying stands, announced as it changes.
    {"applyProgress", "Apply progress"},
    {"comparisonButtons", "Dialog buttons"},
    {"applySettingsButton", "Apply the changed settings",
     "Sends the changed settings to the unit, one at a time; nothing is stored until Store "
     "settings in the unit is pressed"},
};

// Where applying stands: the user waits for it and must hear it.
void showProgress(QLabel &progress, const QString &text)
{
    progress.setText(text);
    announceToScreenReaders(progress, text);
}

enum Column { SettingColumn, UnitColumn, FileColumn, ChangeColumn, columnCount };

QString valueText(Setting setting, int value)
{
    const QString shown = settingValueText(setting, value);
    return shown == QString::number(value) ? shown : QStringLiteral("%1  (%2)").arg(value).arg(shown);
}

QString changeText(const SettingComparison &row)
{
    if (!row.fileValue)
        return QStringLiteral("not in file: left as it is");
    return row.changed() ? QStringLiteral("changed") : QStringLiteral("same");
}

QString summaryText(const std::vector<SettingCheck> &checks)
{
    if (allTaken(checks))
        return QStringLiteral("The unit took every change. Click STORE CONFIG to store them in "
                              "the unit.");
    return QStringLiteral("The unit did not take every change: see the table. What it took is "
                          "not stored until STORE CONFIG is clicked.");
}

} // namespace

SettingsComparisonDialog::SettingsComparisonDialog(UnitLink &link, const QString &fileName,
                                                   const SettingsFile &file, QWidget *parent)
    : QDialog(parent), link(link), comparison(compareSettings(link.state(), file))
{
    setObjectName(QStringLiteral("settingsComparison"));
    setWindowTitle(QStringLiteral("Load settings - %1").arg(QFileInfo(fileName).fileName()));
    auto *layout = new QVBoxLayout(this);

    QString heading = QStringLiteral("File: %1").arg(fileName);
    if (file.header.savedAt.isValid())
        heading += QStringLiteral("\nSaved %1").arg(file.header.savedAt.toString(Qt::ISODate));
    layout->addWidget(new QLabel(heading, this));

    note = new QLabel(this);
    note->setObjectName(QStringLiteral("firmwareNote"));
    note->setWordWrap(true);
    note->setVisible(comparison.otherFirmware());
    note->setText(QStringLiteral("The file was saved from firmware revision %1; this unit has %2. "
                                 "Check each value before applying it.")
                      .arg(comparison.fileFirmware, comparison.unitFirmware));
    note->setStyleSheet(QStringLiteral("color: #a04000; font-weight: bold"));
    layout->addWidget(note);

    table = new QTableWidget(settingCount, columnCount, this);
    table->setObjectName(QStringLiteral("comparisonTable"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Setting"), QStringLiteral("Unit now"), QStringLiteral("File"),
         QStringLiteral("Change")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    fillTable();

    progress = new QLabel(this);
    progress->setObjectName(QStringLiteral("applyProgress"));
    progress->setWordWrap(true);
    layout->addWidget(progress);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("comparisonButtons"));
    applyButton = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::ApplyRole);
    applyButton->setObjectName(QStringLiteral("applySettingsButton"));
    const auto changes = comparison.changes();
    applyButton->setEnabled(!changes.empty());
    showProgress(*progress,
                 changes.empty()
                     ? QStringLiteral("The unit already holds every value in the file.")
                     : QStringLiteral("Apply sends the %1 changed settings, one at a time; "
                                      "nothing is stored until STORE CONFIG is clicked.")
                           .arg(changes.size()));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(applyButton, &QPushButton::clicked, this, &SettingsComparisonDialog::apply);
    connect(&link, &UnitLink::settingsGiven, this, &SettingsComparisonDialog::showOutcome);
    resize(620, 360);
    nameForScreenReaders(*this, spokenNames);
}

void SettingsComparisonDialog::fillTable()
{
    for (int i = 0; i < settingCount; ++i) {
        const SettingComparison &row = comparison.rows[i];
        const QString texts[columnCount] = {
            settingCaption(row.setting), valueText(row.setting, row.unitValue),
            row.fileValue ? valueText(row.setting, *row.fileValue) : QStringLiteral("-"),
            changeText(row)};
        for (int column = 0; column < columnCount; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            QFont font = item->font();
            font.setBold(row.changed());
            item->setFont(font);
            table->setItem(i, column, item);
        }
    }
}

void SettingsComparisonDialog::apply()
{
    const TransferRefusal refusal = link.giveSettings(comparison.changes());
    if (refusal != TransferRefusal::None) {
        showProgress(*progress, refusalText(refusal));
        return;
    }
    applying = true;
    applyButton->setEnabled(false);
    showProgress(*progress, QStringLiteral("Sending the changes to the unit..."));
}

void SettingsComparisonDialog::showOutcome(const std::vector<SettingCheck> &checks)
{
    if (!applying)
        return;
    applying = false;
    for (const SettingCheck &check : checks)
        table->item(int(check.setting), ChangeColumn)->setText(outcomeText(check));
    showProgress(*progress, summaryText(checks));
}
