#pragma once

#include "link/port_map.h"

#include <QStringList>

struct CommandLine {
    PortMap ports;
    int connectPort = 0;        // port button to click at start-up; 0 for none
    bool demo = false;          // a simulated unit on COM1
    bool exitAfterFirstFrame = false;
};

// Parses the console's options. On --help prints the usage and exits 0; on a
// malformed option prints the error and exits 2.
CommandLine parseCommandLine(const QStringList &arguments);
