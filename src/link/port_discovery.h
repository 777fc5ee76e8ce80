// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/port_map.h"

#include <QList>
#include <QString>
#include <optional>

// A serial port the system reports, reduced to what the console shows and
// sorts by.
struct FoundPort {
    QString device;         // what QSerialPort opens, e.g. /dev/ttyUSB0
    QString description;    // e.g. "FT232R USB UART"
    QString manufacturer;
    QString serialNumber;
    bool usb = false;       // the system knows a USB vendor id for it
};

// The order in which unpinned port buttons take the ports found: USB adapters
// (ttyUSB*, ttyACM*, anything with a USB vendor id) first, then the rest
// (on-board ttyS* and the like), each group by device name in natural order,
// so ttyUSB2 comes before ttyUSB10.
QList<FoundPort> orderPorts(QList<FoundPort> ports);

// The port behind a port button: its device from the map (pinned with --port,
// or COMn on Windows) described from `ordered` when listed there; otherwise
// the button-th of `ordered`, whatever the other buttons are pinned to.
// The device is empty when there is none.
FoundPort portForButton(const PortMap &map, int button, const QList<FoundPort> &ordered);

// What tells an adapter from any other after a replug: "serial " and its
// USB serial number where the system reports one, else its device name.
QString identityOf(const QString &device, const QList<FoundPort> &present);
// The port with that identity among those present, if any.
std::optional<FoundPort> findAdapter(const QString &identity, const QList<FoundPort> &present);

// "/dev/ttyUSB0 - FT232R USB UART"; just the device without a description;
// empty without a device.
QString describePort(const FoundPort &port);
