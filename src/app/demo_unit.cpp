// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/demo_unit.h"

#include "sim/unit_simulator.h"

DemoUnit::DemoUnit() = default;

DemoUnit::~DemoUnit() = default;

QString DemoUnit::start(PortMap &ports, std::shared_ptr<const Recording> recording)
{
    SimOptions options;
    options.replay = std::move(recording);
    unit = std::make_unique<UnitSimulator>(options);
    const StartResult result = unit->start();
    if (!result.ok())
        return result.error;
    device = result.devicePath;
    ports.setDevice(1, device);
    return QString();
}
