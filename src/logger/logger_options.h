// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct LoggerOptions {
    QString device;          // "auto": what an unpinned port 1 takes
    QString folder;          // one new recording per connection
    QString tracePath;       // a new file for the serial trace; empty for none
    bool reconnect = true;   // open a lost adapter again when it is back
    QString limitsFile;      // the user's limits; empty for the default file, if any
};

// What the options ask for: run with `options`, or print `text` and exit with
// `exitStatus` (0 after --help or --version, on stdout; 2 for a mistake, on
// stderr).
struct LoggerCommandLine {
    std::optional<LoggerOptions> options;
    int exitStatus = 0;
    QString text;
};

LoggerCommandLine readLoggerCommandLine(const QStringList &arguments);
