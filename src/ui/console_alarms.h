// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/alarm_annunciator.h"

#include <QObject>
#include <QString>

class AlarmTone;
class ConsoleWindow;
class ExceedanceWatch;
class QAction;

// The console's alarms: the strip shows what the annunciator says, the tone
// sounds, a click on the strip or "Acknowledge alarms" (Escape) acknowledges,
// and the right-click menu offers that, "Alarm limits..." and "Mute alarms".
class ConsoleAlarms : public QObject {
    Q_OBJECT
public:
    // `limitsPath` is where the limits dialog saves.
    ConsoleAlarms(ConsoleWindow &window, ExceedanceWatch &watch, const QString &limitsPath);

    AlarmAnnunciator &annunciator() { return alarms; }

private:
    void show();
    void sound();
    void editLimits();

    ConsoleWindow &window;
    ExceedanceWatch &watch;
    QString limitsPath;
    AlarmAnnunciator alarms;
    AlarmTone *tone = nullptr; // made at the first alarm: opening audio costs
    bool toldNoAudio = false;
};
