// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

// What a received buffer is, decided by its first character alone
// (case-sensitive: "p" is a reply, "P" is nothing).
enum class LineKind { Ignored, Telemetry, Acknowledgement, Reply };

// The fourteen reply records, in the order the decoder tries them.
inline constexpr char replyLetters[] = "pcutdlnmxbezjw";

LineKind classifyLine(QByteArrayView line);

// The characters at 1-based position `position`, at most `width` of them;
// empty when the line is shorter. Fields are cut by position, never by
// looking for separators, so a short line puts its terminator in the field.
QByteArrayView fieldAt(QByteArrayView line, qsizetype position, qsizetype width);
