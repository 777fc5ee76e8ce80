// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/logger.h"

#include "limits/exceedance_text.h"
#include "link/serial_port.h"

Logger::Logger(SerialPort *port, const QString &folder, const QString &backupFolder,
               QObject *parent)
    : QObject(parent), unitLink(port), keeper(unitLink, backupFolder), folder(folder),
      deviceWait(*port, [this] { return tryOpen(); })
{
    recordingTimer.setInterval(recordingRetryMs);
    connect(&recordingTimer, &QTimer::timeout, this, &Logger::retryRecording);

    connect(&unitLink, &UnitLink::statusChanged, this, &Logger::showStatus);
    connect(&unitLink, &UnitLink::phaseChanged, this, &Logger::phaseChanged);
    connect(&unitLink, &UnitLink::wiringHintChanged, this, [this](WiringHint hint) {
        const QString line = wiringChangeLine(hint, unitLink.phase());
        if (!line.isEmpty())
            emit said(line);
    });
    recording.follow(unitLink);
    connect(&recording, &Recorder::failed, this, &Logger::recordingFailed);
    connect(&recording, &Recorder::fileStarted, this, &Logger::recordingStarted);
    connect(&recording, &Recorder::stateChanged, this, [this](Recorder::State state) {
        if (state == Recorder::State::Failed)
            recordingTimer.start();
        else
            recordingTimer.stop();
    });
    connect(&watch, &ExceedanceWatch::exceedanceStarted, this, [this](const Exceedance &e) {
        emit said(exceedanceStartedText(e, watch.nowSeconds()));
    });
    connect(&watch, &ExceedanceWatch::exceedanceEnded, this, [this](const Exceedance &e) {
        emit said(exceedanceEndedText(e));
    });
    connect(&keeper, &SettingsKeeper::backupFailed, this, [this](const QString &error) {
        emit said(QStringLiteral("no settings backup: ") + error);
    });
}

void Logger::setReconnecting(bool on)
{
    reconnecting = on;
    unitLink.setReconnecting(on);
}

void Logger::start()
{
    recording.startInFolder(folder);
    unitLink.openPort(1);
    if (unitLink.phase() != LinkPhase::Closed)
        return;
    // The port says why on stderr, once however often the retry fails alike.
    const QString device = unitLink.port().portDescription(1);
    emit said(QStringLiteral("waiting for %1; it is opened as soon as it appears")
                  .arg(device.isEmpty() ? QStringLiteral("a serial port") : device));
    deviceWait.start();
}

bool Logger::tryOpen()
{
    if (unitLink.phase() == LinkPhase::Closed)
        unitLink.openPort(1);
    return unitLink.phase() != LinkPhase::Closed;
}

void Logger::retryRecording()
{
    if (recording.state() == Recorder::State::Failed)
        recording.startInFolder(folder);
}

// The link repeats a status now and then ("Stream Mode" for each answer to
// the stream request); the journal wants the changes. An empty one (the
// stream turned off while connecting) says nothing.
void Logger::showStatus(const QString &text)
{
    if (text == lastStatus)
        return;
    lastStatus = text;
    if (!text.isEmpty())
        emit said(text);
}

void Logger::phaseChanged(LinkPhase phase)
{
    if (phase == LinkPhase::Lost && !reconnecting)
        emit finished(1);
}

void Logger::recordingFailed(const QString &reason)
{
    if (recordingTrouble)
        return;
    recordingTrouble = true;
    emit said(QStringLiteral("cannot record: %1; trying again every minute").arg(reason));
}

void Logger::recordingStarted(const QString &path)
{
    recordingTrouble = false;
    emit said(QStringLiteral("recording into ") + path);
}
