// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <optional>

// The fixed devices of the console's port numbers 1 to 4.
//
// On Windows port N is "COMN". Elsewhere (Linux) a port has no fixed device:
// the button takes one of the serial ports present when it is clicked (see
// portForButton). The command line pins a port to a device, e.g. a USB
// adapter: --port 1=/dev/ttyUSB0.
class PortMap {
public:
    static constexpr int firstPort = 1;
    static constexpr int lastPort = 4;

    // The platform's fixed device for a port number: "COMN" on Windows,
    // empty elsewhere and outside 1..4.
    static QString defaultDevice(int port);

    // The pinned device of a port number, else its default.
    QString device(int port) const;
    bool pinned(int port) const;
    // Pins a port to a device. Ignored for a number outside 1..4.
    void setDevice(int port, const QString &device);

private:
    std::array<QString, lastPort - firstPort + 1> pins;
};

// Applies one value of the command-line option --port N=DEVICE (N from 1 to 4;
// DEVICE is everything after the first '=' and must not be empty). Returns
// nothing on success; on a malformed value returns a one-line message for the
// user and leaves the map unchanged.
std::optional<QString> applyPortOption(PortMap &map, const QString &value);
