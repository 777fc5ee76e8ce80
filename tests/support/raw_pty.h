// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

// Opens a pseudo-terminal whose master passes bytes unchanged; returns the
// master and stores the slave's device path.
inline int openRawPty(QString *slavePath)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        qFatal("cannot create a pseudo-terminal");
    termios raw{};
    tcgetattr(master, &raw);
    cfmakeraw(&raw);
    tcsetattr(master, TCSANOW, &raw);
    *slavePath = QString::fromLocal8Bit(ptsname(master));
    return master;
}
