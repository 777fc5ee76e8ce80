// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct CommandLine;
class Recorder;
class SerialPort;

// What --trace and --record ask for at start-up.

// The port, wrapped in a trace when `tracePath` names one (a new file).
// Nothing, with `error` set, when that file cannot be created; the port is
// deleted then.
SerialPort *tracedPort(SerialPort *port, const QString &tracePath, QString &error);

void startRecording(Recorder &recorder, const CommandLine &options);

// Where Ctrl+R records: "Torvane recordings" in the user's documents.
QString defaultRecordingFolder();
