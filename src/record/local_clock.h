// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <functional>

// The local time, cheaply: asking for local time consults the system's zone
// rules on every call (glibc stats /etc/localtime each time), which costs
// more than the rest of a recorded row. The offset from UTC changes only at a
// daylight-saving switch, so it is looked up again once a minute.
std::function<QDateTime()> cachedLocalClock();
