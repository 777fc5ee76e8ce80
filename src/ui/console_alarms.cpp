// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_alarms.h"

#include "record/exceedance_watch.h"
#include "ui/alarm_strip.h"
#include "ui/alarm_tone.h"
#include "ui/console_window.h"
#include "ui/limits_dialog.h"

#include <QAction>
#include <cstdio>

ConsoleAlarms::ConsoleAlarms(ConsoleWindow &window, ExceedanceWatch &watch,
                             const QString &limitsPath)
    : QObject(&window), window(window), watch(watch), limitsPath(limitsPath), alarms(watch)
{
    alarms.soundTone = [this] { sound(); };
    alarms.stopTone = [this] {
        if (tone)
            tone->stop();
    };
    connect(&alarms, &AlarmAnnunciator::changed, this, &ConsoleAlarms::show);
    connect(&window, &ConsoleWindow::temperatureScaleChanged, this, &ConsoleAlarms::show);
    connect(window.alarmStrip, &AlarmStrip::clicked, &alarms, &AlarmAnnunciator::acknowledge);
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    // Escape presses no button, whatever has the focus. Offered only while an
    // alarm waits, so that the key is free otherwise.
    auto *acknowledge = new QAction(QStringLiteral("Acknowledge alarms"), &window);
    acknowledge->setObjectName(QStringLiteral("acknowledgeAlarmsAction"));
    acknowledge->setShortcut(QKeySequence(Qt::Key_Escape));
    acknowledge->setEnabled(false);
    connect(acknowledge, &QAction::triggered, &alarms, &AlarmAnnunciator::acknowledge);
    connect(&alarms, &AlarmAnnunciator::changed, acknowledge,
            [this, acknowledge] { acknowledge->setEnabled(alarms.unacknowledged()); });
    window.addAction(acknowledge);
    auto *limits = new QAction(QStringLiteral("Alarm limits..."), &window);
    limits->setObjectName(QStringLiteral("alarmLimitsAction"));
    connect(limits, &QAction::triggered, this, &ConsoleAlarms::editLimits);
    window.addAction(limits);
    auto *mute = new QAction(QStringLiteral("Mute alarms"), &window);
    mute->setObjectName(QStringLiteral("muteAlarmsAction"));
    mute->setCheckable(true);
    connect(mute, &QAction::toggled, &alarms, &AlarmAnnunciator::setMuted);
    window.addAction(mute);
}

void ConsoleAlarms::show()
{
    window.showAlarms(alarms.lines(window.temperatureScale()), alarms.lit());
}

void ConsoleAlarms::sound()
{
    if (!tone)
        tone = new AlarmTone(this);
    if (!tone->available() && !toldNoAudio) {
        toldNoAudio = true;
        std::fputs("torvane-console: no audio device: alarms are shown, not sounded\n", stderr);
    }
    tone->play();
}

void ConsoleAlarms::editLimits()
{
    LimitsDialog dialog(watch.limits(), watch.defaults(), limitsPath, window.temperatureScale(),
                        &window);
    if (dialog.exec() == QDialog::Accepted)
        watch.setLimitsFile(dialog.saved());
}
