// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/line_kind.h"

#include <cstring>

LineKind classifyLine(QByteArrayView line)
{
    if (line.isEmpty())
        return LineKind::Ignored;
    const char first = line.front();
    if (first == '=')
        return LineKind::Telemetry;
    if (first == '/')
        return LineKind::Acknowledgement;
    if (first != '\0' && std::strchr(replyLetters, first))
        return LineKind::Reply;
    return LineKind::Ignored;
}

QByteArrayView fieldAt(QByteArrayView line, qsizetype position, qsizetype width)
{
    const qsizetype start = position - 1;
    if (start >= line.size())
        return {};
    return line.sliced(start, std::min(width, line.size() - start));
}
