// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_discovery.h"

#include <algorithm>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Compares two runs of digits by value, without overflow on long runs.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.mid(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

qsizetype digitRunEnd(const QString &s, qsizetype from)
{
    while (from < s.size() && isDigit(s[from]))
        ++from;
    return from;
}

int naturalCompare(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            if (const int c = compareNumbers(QStringView(a).sliced(i, endA - i),
                                             QStringView(b).sliced(j, endB - j)))
                return c;
            i = endA;
            j = endB;
        } else if (a[i] != b[j]) {
            return a[i] < b[j] ? -1 : 1;
        } else {
            ++i;
            ++j;
        }
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return a.compare(b);   // "ttyS01" and "ttyS1": still a fixed order
}

bool isUsbAdapter(const FoundPort &port)
{
    const QString name = port.device.section(QLatin1Char('/'), -1);
    return port.usb || name.startsWith(QLatin1String("ttyUSB"))
        || name.startsWith(QLatin1String("ttyACM"));
}

} // namespace

QList<FoundPort> orderPorts(QList<FoundPort> ports)
{
    std::sort(ports.begin(), ports.end(), [](const FoundPort &a, const FoundPort &b) {
        const bool usbA = isUsbAdapter(a);
        if (usbA != isUsbAdapter(b))
            return usbA;
        return naturalCompare(a.device, b.device) < 0;
    });
    return ports;
}

FoundPort portForButton(const PortMap &map, int button, const QList<FoundPort> &ordered)
{
    const QString fixed = map.device(button);
    if (fixed.isEmpty())
        return button >= PortMap::firstPort && button <= PortMap::lastPort
            ? ordered.value(button - PortMap::firstPort)
            : FoundPort{};
    const auto listed = std::find_if(ordered.begin(), ordered.end(),
                                     [&fixed](const FoundPort &p) { return p.device == fixed; });
    return listed != ordered.end() ? *listed : FoundPort{fixed, {}, {}, {}, false};
}

QString describePort(const FoundPort &port)
{
    if (port.device.isEmpty() || port.description.isEmpty())
        return port.device;
    return port.device + QStringLiteral(" - ") + port.description;
}

namespace {

const QString serialPrefix = QStringLiteral("serial ");

QString identityOf(const FoundPort &port)
{
    return port.serialNumber.isEmpty() ? port.device : serialPrefix + port.serialNumber;
}

} // namespace

QString identityOf(const QString &device, const QList<FoundPort> &present)
{
    for (const FoundPort &port : present)
        if (port.device == device)
            return identityOf(port);
    return device;
}

std::optional<FoundPort> findAdapter(const QString &identity, const QList<FoundPort> &present)
{
    for (const FoundPort &port : present)
        if (identityOf(port) == identity)
            return port;
    return std::nullopt;
}
