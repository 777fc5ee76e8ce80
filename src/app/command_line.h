// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_map.h"
#include "protocol/temperature_scale.h"

#include <QString>
#include <QStringList>
#include <optional>

// What to do with a unit's settings instead of opening the window.
enum class SettingsJobKind { None, Save, Apply };

struct CommandLine {
    PortMap ports;
    int connectPort = 0;        // port button to click at start-up; 0 for none
    bool demo = false;          // a simulated unit on COM1
    QString replayFile;         // a recording the simulated unit plays, instead of --demo
    bool exitAfterFirstFrame = false;
    bool listPorts = false;     // print the ports and exit
    QString recordPath;         // a new file, or a folder for one file per connection
    bool recordIntoFolder = false;
    QString tracePath;          // a new file for the serial trace
    bool reconnect = true;      // open a lost adapter again when it is back
    SettingsJobKind settingsJob = SettingsJobKind::None;
    QString settingsFile;       // saved into, or applied from
    bool storeAfterApply = false;
    QString viewFile;           // a recording to open in the viewer, alone
    QString exceedancesFile;    // a recording whose exceedances to list, without a window
    QString limitsFile;         // the user's limits; empty for the default file, if any
    QString runsFolder;         // recordings whose engine runs to list, without a window
    bool runsAsCsv = false;
    QString reportFile;         // a recording to report on, without a window
    QString reportPdf;          // where the report's page goes as well; empty for text only
    // --fahrenheit or --celsius, for this run; none to take the remembered scale.
    std::optional<TemperatureScale> temperatureScale;
};

// What the options ask for: run with `options`, or print `text` and exit with
// `exitStatus` (0 after --help, on stdout; 2 for a mistake, on stderr).
struct CommandLineResult {
    std::optional<CommandLine> options;
    int exitStatus = 0;
    QString text;
};

// Reads the console's options; Qt's own (-platform, -style, ...) pass through
// for QApplication.
CommandLineResult readCommandLine(const QStringList &arguments);

// As readCommandLine, but prints the help or the error and exits when there
// is nothing to run.
CommandLine parseCommandLine(const QStringList &arguments);
