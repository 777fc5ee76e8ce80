// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/system_ports.h"

#include <QSerialPortInfo>

namespace {

FoundPort toFoundPort(const QSerialPortInfo &info)
{
#ifdef Q_OS_WIN
    // "COM3" rather than "\\.\COM3", to match the buttons' fixed names.
    const QString device = info.portName();
#else
    const QString device = info.systemLocation();
#endif
    return FoundPort{device, info.description(), info.manufacturer(), info.serialNumber(),
                     info.hasVendorIdentifier()};
}

} // namespace

QList<FoundPort> systemPorts()
{
    QList<FoundPort> found;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        found.append(toFoundPort(info));
    return orderPorts(found);
}
