// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording_options.h"

#include "app/command_line.h"
#include "link/tracing_serial_port.h"
#include "record/recorder.h"

#include <QFile>
#include <QStandardPaths>
#include <memory>

SerialPort *tracedPort(SerialPort *port, const QString &tracePath, QString &error)
{
    if (tracePath.isEmpty())
        return port;
    auto trace = std::make_unique<QFile>(tracePath);
    if (!trace->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        error = QStringLiteral("cannot write the trace %1: %2")
                    .arg(tracePath, trace->errorString());
        delete port;
        return nullptr;
    }
    return new TracingSerialPort(port, std::move(trace));
}

void startRecording(Recorder &recorder, const CommandLine &options)
{
    if (options.recordPath.isEmpty())
        return;
    if (options.recordIntoFolder)
        recorder.startInFolder(options.recordPath);
    else
        recorder.startInFile(options.recordPath);
}

QString defaultRecordingFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
           + QStringLiteral("/Torvane recordings");
}
