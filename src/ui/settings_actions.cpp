// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings_actions.h"

#include "core/unit_link.h"
#include "settings/settings_keeper.h"
#include "settings/transfer_texts.h"
#include "ui/console_window.h"
#include "ui/settings_comparison_dialog.h"
#include "ui/settings_sheet.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString fileFilter = QStringLiteral("Settings files (*.txt);;All files (*)");

bool readOutComplete(ConsoleWindow &window)
{
    if (window.unitLink().settingsRead())
        return true;
    QMessageBox::information(&window, QStringLiteral("Settings"),
                             refusalText(TransferRefusal::NotReadOut));
    return false;
}

void saveSettings(ConsoleWindow &window, const SettingsKeeper &keeper)
{
    if (!readOutComplete(window))
        return;
    QDir().mkpath(SettingsKeeper::defaultFolder());
    const QString path = QFileDialog::getSaveFileName(
        &window, QStringLiteral("Save settings"),
        QDir(SettingsKeeper::defaultFolder()).filePath(SettingsKeeper::defaultFileName()),
        fileFilter);
    if (path.isEmpty())
        return;
    if (const QString error = keeper.saveTo(path); !error.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Save settings"),
                             QStringLiteral("The settings were not saved.\n%1").arg(error));
}

// The user's own folder, or the backups while it holds no settings file:
// "put back what the unit held this morning" is then two clicks.
QString loadFolder(const SettingsKeeper &keeper)
{
    const QDir own(SettingsKeeper::defaultFolder());
    const bool hasFiles = own.exists() && !own.entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty();
    return hasFiles ? own.path() : keeper.backupFolder();
}

void loadSettings(ConsoleWindow &window, const SettingsKeeper &keeper)
{
    if (!readOutComplete(window))
        return;
    const QString path = QFileDialog::getOpenFileName(&window, QStringLiteral("Load settings"),
                                                      loadFolder(keeper), fileFilter);
    if (path.isEmpty())
        return;
    const SettingsFileReading reading = readSettingsFile(path);
    if (!reading.file) {
        QMessageBox::warning(&window, QStringLiteral("Load settings"),
                             QStringLiteral("Nothing was sent: the file does not read cleanly.\n%1")
                                 .arg(reading.error));
        return;
    }
    auto *dialog = new SettingsComparisonDialog(window.unitLink(), path, *reading.file, &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void printSheet(ConsoleWindow &window, const SettingsKeeper &keeper)
{
    if (!readOutComplete(window))
        return;
    printSettingsSheet(&window, SettingsSheet{keeper.current(), keeper.before(),
                                              window.temperatureScale()});
}

template <typename Action>
void addAction(ConsoleWindow &window, const char *objectName, const QString &text,
               QKeySequence keys, Action action)
{
    auto *a = new QAction(text, &window);
    a->setObjectName(QLatin1String(objectName));
    a->setShortcut(keys);
    QObject::connect(a, &QAction::triggered, &window, action);
    window.addAction(a);
}

} // namespace

void attachSettingsActions(ConsoleWindow &window, SettingsKeeper &keeper)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(window, "saveSettingsAction", QStringLiteral("Save settings..."), QKeySequence::Save,
              [&window, &keeper] { saveSettings(window, keeper); });
    addAction(window, "loadSettingsAction", QStringLiteral("Load settings..."), QKeySequence::Open,
              [&window, &keeper] { loadSettings(window, keeper); });
    addAction(window, "printSettingsAction", QStringLiteral("Print settings sheet..."),
              QKeySequence::Print, [&window, &keeper] { printSheet(window, keeper); });
    QObject::connect(&keeper, &SettingsKeeper::backupFailed, &window, [](const QString &error) {
        qWarning("torvane-console: settings backup not kept: %s", qUtf8Printable(error));
    });
}
