// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_map.h"
#include "sim/replay_file.h"

#include <QString>
#include <memory>

class UnitSimulator;

// Demo mode: a simulated ignition unit inside the console, on a
// pseudo-terminal that COM1 opens. Everything else behaves as with an
// aircraft; the user still clicks COM1. Replay mode is the same unit
// streaming a recording.
class DemoUnit {
public:
    DemoUnit();
    ~DemoUnit();

    // Starts the unit, replaying `recording` if given, and points COM1 at
    // it. Returns an error text, or an empty one on success.
    QString start(PortMap &ports, std::shared_ptr<const Recording> recording = nullptr);
    QString devicePath() const { return device; }

private:
    std::unique_ptr<UnitSimulator> unit;
    QString device;
};
