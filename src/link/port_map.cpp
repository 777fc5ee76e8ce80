// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_map.h"

QString PortMap::defaultDevice(int port)
{
    if (port < firstPort || port > lastPort)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return {};
#endif
}

QString PortMap::device(int port) const
{
    if (!pinned(port))
        return defaultDevice(port);
    return pins[port - firstPort];
}

bool PortMap::pinned(int port) const
{
    return port >= firstPort && port <= lastPort && !pins[port - firstPort].isEmpty();
}

void PortMap::setDevice(int port, const QString &device)
{
    if (port < firstPort || port > lastPort)
        return;
    pins[port - firstPort] = device;
}

std::optional<QString> applyPortOption(PortMap &map, const QString &value)
{
    const auto invalid = [&value](const QString &why) {
        return QStringLiteral("invalid --port value \"%1\": %2").arg(value, why);
    };
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    if (equals < 0)
        return invalid(QStringLiteral("expected N=DEVICE, for example 1=/dev/ttyUSB0"));

    const QString number = value.left(equals);
    const QString device = value.mid(equals + 1);
    bool digitsOnly = !number.isEmpty();
    for (const QChar c : number)
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int port = digitsOnly && number.size() <= 9 ? number.toInt() : 0;
    if (port < PortMap::firstPort || port > PortMap::lastPort)
        return invalid(QStringLiteral("the port number N must be %1 to %2")
                           .arg(PortMap::firstPort)
                           .arg(PortMap::lastPort));
    if (device.isEmpty())
        return invalid(QStringLiteral("the device name after '=' is empty"));

    map.setDevice(port, device);
    return std::nullopt;
}
