// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_discovery.h"

#include <QList>

// The serial ports the system reports now, in the order port buttons take
// them. Needs no application object, so --list-ports runs without a display.
QList<FoundPort> systemPorts();
