// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings_transfer.h"
#include "settings/settings_comparison.h"

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class UnitLink;

// A settings file beside the unit, before anything is sent: each setting as
// the unit holds it, as the file has it, and whether it would change. Apply
// gives the unit the changed ones; the table then says which it took.
class SettingsComparisonDialog : public QDialog {
    Q_OBJECT
public:
    SettingsComparisonDialog(UnitLink &link, const QString &fileName, const SettingsFile &file,
                             QWidget *parent = nullptr);

    QTableWidget *table = nullptr;
    QLabel *note = nullptr;
    QLabel *progress = nullptr;
    QPushButton *applyButton = nullptr;

    void apply();

private:
    void fillTable();
    void showOutcome(const std::vector<SettingCheck> &checks);

    UnitLink &link;
    SettingsComparison comparison;
    bool applying = false;
};
