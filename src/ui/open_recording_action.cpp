// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/open_recording_action.h"

#include "ui/console_window.h"
#include "viewer/recording_viewer.h"
#include "viewer/temperature_scale_choice.h"

#include <QAction>
#include <QFileDialog>
#include <QMessageBox>

namespace {

void openRecording(ConsoleWindow &window, const QString &folder, const EngineLimits &limits,
                   TemperatureScaleChoice &temperatureScale)
{
    const QString path = QFileDialog::getOpenFileName(
        &window, QStringLiteral("Open recording"), folder,
        QStringLiteral("Recordings (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    RecordingViewer *viewer = RecordingViewer::open(path, error);
    if (!viewer) {
        QMessageBox::warning(&window, QStringLiteral("Open recording"), error);
        return;
    }
    viewer->setLimits(limits);
    viewer->followTemperatureScale(temperatureScale);
    viewer->show();
}

} // namespace

void attachOpenRecordingAction(ConsoleWindow &window, const QString &recordingsFolder,
                               std::function<EngineLimits()> limits,
                               TemperatureScaleChoice &temperatureScale)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *action = new QAction(QStringLiteral("Open recording..."), &window);
    action->setObjectName(QStringLiteral("openRecordingAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    QObject::connect(action, &QAction::triggered, &window,
                     [&window, recordingsFolder, limits, &temperatureScale] {
                         openRecording(window, recordingsFolder, limits(), temperatureScale);
                     });
    window.addAction(action);
}
