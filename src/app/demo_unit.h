#pragma once

#include "link/port_map.h"

#include <QString>
#include <memory>

class UnitSimulator;

// Demo mode: a simulated ignition unit inside the console, on a
// pseudo-terminal that COM1 opens. Everything else behaves as with an
// aircraft; the user still clicks COM1.
class DemoUnit {
public:
    DemoUnit();
    ~DemoUnit();

    // Starts the unit and points COM1 at it. Returns an error text, or an
    // empty one on success.
    QString start(PortMap &ports);
    QString devicePath() const { return device; }

private:
    std::unique_ptr<UnitSimulator> unit;
    QString device;
};
