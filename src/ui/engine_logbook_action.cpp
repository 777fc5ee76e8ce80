// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/engine_logbook_action.h"

#include "logbook/logbook.h"
#include "ui/console_window.h"
#include "viewer/logbook_window.h"

#include <QAction>

void attachEngineLogbookAction(ConsoleWindow &window, const QString &recordingsFolder,
                               std::function<EngineLimits()> limits)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *action = new QAction(QStringLiteral("Engine logbook..."), &window);
    action->setObjectName(QStringLiteral("engineLogbookAction"));
    QObject::connect(action, &QAction::triggered, &window, [recordingsFolder, limits] {
        LogbookWindow::openFolder(recordingsFolder, limits(), defaultLogbookIndexPath())->show();
    });
    window.addAction(action);
}
