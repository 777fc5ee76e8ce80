#pragma once

#include "link/port_map.h"

#include <QStringList>
#include <optional>

struct CommandLine {
    PortMap ports;
};

// Parses the console's options. On --help prints the usage and exits 0; on a
// malformed option prints the error and exits 2.
CommandLine parseCommandLine(const QStringList &arguments);
