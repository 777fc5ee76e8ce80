// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_discovery.h"
#include "link/port_map.h"

#include <QList>
#include <QString>

// The text of --list-ports: one line per port button (device, description,
// manufacturer, serial number), then the ports no button takes.
QString portListing(const PortMap &map, const QList<FoundPort> &ordered);
