// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_listing.h"

#include <QStringList>

namespace {

QString portLine(const FoundPort &port)
{
    QStringList parts{describePort(port)};
    if (!port.manufacturer.isEmpty())
        parts << QStringLiteral("manufacturer ") + port.manufacturer;
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("serial number ") + port.serialNumber;
    return parts.join(QStringLiteral(", "));
}

QString buttonLine(const PortMap &map, int button, const FoundPort &port)
{
    QString line = QStringLiteral("COM%1: ").arg(button);
    line += port.device.isEmpty() ? QStringLiteral("no serial port") : portLine(port);
    if (map.pinned(button))
        line += QStringLiteral(" (pinned by --port)");
    return line + QLatin1Char('\n');
}

} // namespace

QString portListing(const PortMap &map, const QList<FoundPort> &ordered)
{
    QString buttons;
    QStringList taken;
    for (int button = PortMap::firstPort; button <= PortMap::lastPort; ++button) {
        const FoundPort port = portForButton(map, button, ordered);
        buttons += buttonLine(map, button, port);
        if (!port.device.isEmpty())
            taken << port.device;
    }
    const QString none = QStringLiteral("No serial ports found\n");
    if (ordered.isEmpty())
        return taken.isEmpty() ? none : buttons + none;

    QString others;
    for (const FoundPort &port : ordered) {
        if (!taken.contains(port.device))
            others += QStringLiteral("Also found: ") + portLine(port) + QLatin1Char('\n');
    }
    return buttons + others;
}
