// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/engine_logbook_action.h"

#include "logbook/logbook.h"
#include "ui/console_window.h"
#include "viewer/logbook_window.h"
#include "viewer/temperature_scale_choice.h"

#include <QAction>

void attachEngineLogbookAction(ConsoleWindow &window, const QString &recordingsFolder,
                               std::function<EngineLimits()> limits,
                               TemperatureScaleChoice &temperatureScale)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *action = new QAction(QStringLiteral("Engine logbook..."), &window);
    action->setObjectName(QStringLiteral("engineLogbookAction"));
    QObject::connect(action, &QAction::triggered, &window,
                     [recordingsFolder, limits, &temperatureScale] {
                         LogbookWindow *logbook = LogbookWindow::openFolder(
                             recordingsFolder, limits(), defaultLogbookIndexPath());
                         logbook->followTemperatureScale(temperatureScale);
                         logbook->show();
                     });
    window.addAction(action);
}
