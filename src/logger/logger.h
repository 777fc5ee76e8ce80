// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/arrival_waiter.h"
#include "core/unit_link.h"
#include "record/exceedance_watch.h"
#include "record/recorder.h"
#include "settings/settings_keeper.h"

#include <QObject>
#include <QString>
#include <QTimer>

class SerialPort;

// The console without a window, for a small computer in the hangar: it
// connects to port 1, reads the unit out and keeps the backup, records one
// file per connection into a folder, and says every change of status as a
// line, as it does each exceedance of the limits. Neither an absent device nor a folder it cannot write ends it; it
// retries both.
class Logger : public QObject {
    Q_OBJECT
public:
    static constexpr int recordingRetryMs = 60000;

    // Takes ownership of the port.
    Logger(SerialPort *port, const QString &folder, const QString &backupFolder,
           QObject *parent = nullptr);

    // Off: a lost connection ends the logger (finished(1)) instead.
    void setReconnecting(bool on);
    void start();

    // Timer ticks; public so tests can drive them.
    void retryRecording();

    UnitLink &link() { return unitLink; }
    const Recorder &recorder() const { return recording; }
    ExceedanceWatch &exceedanceWatch() { return watch; }

signals:
    // One line for the user, without the program's name.
    void said(const QString &line);
    void finished(int status);

private:
    void showStatus(const QString &text);
    void phaseChanged(LinkPhase phase);
    void recordingFailed(const QString &reason);
    void recordingStarted(const QString &path);
    bool tryOpen();

    UnitLink unitLink;
    Recorder recording;
    ExceedanceWatch watch{unitLink, std::nullopt};
    SettingsKeeper keeper;
    QString folder;
    ArrivalWaiter deviceWait;
    QTimer recordingTimer;
    QString lastStatus;
    bool reconnecting = true;
    // Said once until a file starts again.
    bool recordingTrouble = false;
};
