// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The unit tells its firmware revision in its answer to "/u" ("u21": hex 21,
// revision 33), once a connection, before it streams; the recording's "line"
// column keeps that answer as received when the row was made of it.
// Only the start of the file is read: the answer comes with the connection.
inline constexpr qint64 firmwareSearchBytes = 256 * 1024;

// The revision as the console shows it ("33"), from the first "u" answer in
// the first firmwareSearchBytes of the recording at `path`; nothing when
// there is none, or the file does not read.
std::optional<QString> recordedFirmwareRevision(const QString &path);
