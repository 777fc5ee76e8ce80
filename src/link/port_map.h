#pragma once

#include <QString>
#include <array>
#include <optional>

// Which device each of the console's port numbers 1 to 4 opens.
//
// Defaults: on Windows port N is "COMN"; elsewhere (Linux) port N is
// /dev/ttyS(N-1), so COM1 is /dev/ttyS0. The command line can point a port at
// another device, e.g. a USB adapter: --port 1=/dev/ttyUSB0.
class PortMap {
public:
    static constexpr int firstPort = 1;
    static constexpr int lastPort = 4;

    PortMap();

    // The platform's default device for a port number; empty outside 1..4.
    static QString defaultDevice(int port);

    // The device for a port number; empty outside 1..4.
    QString device(int port) const;
    // Points a port at a device. Ignored for a number outside 1..4.
    void setDevice(int port, const QString &device);

private:
    std::array<QString, lastPort - firstPort + 1> devices;
};

// Applies one value of the command-line option --port N=DEVICE (N from 1 to 4;
// DEVICE is everything after the first '=' and must not be empty). Returns
// nothing on success; on a malformed value returns a one-line message for the
// user and leaves the map unchanged.
std::optional<QString> applyPortOption(PortMap &map, const QString &value);
