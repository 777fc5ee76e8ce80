// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The bytes as a quoted C-style string on one line: \r, \n, \" and \\, the
// printable ASCII characters as they are, and \xNN (always two upper-case
// hex digits) for every other byte.
QByteArray cQuoted(QByteArrayView bytes);
