#include "protocol/line_dispatch.h"

#include <cstring>

LineKind classifyLine(QByteArrayView rBuff)
{
    if (rBuff.isEmpty())
        return LineKind::Ignored;
    const char first = rBuff.front();
    if (first == '=')
        return LineKind::Telemetry;
    if (first == '/')
        return LineKind::Acknowledgement;
    if (first != '\0' && std::strchr(replyLetters, first))
        return LineKind::Reply;
    return LineKind::Ignored;
}

QByteArrayView fieldAt(QByteArrayView rBuff, qsizetype position, qsizetype width)
{
    const qsizetype start = position - 1;
    if (start >= rBuff.size())
        return {};
    return rBuff.sliced(start, std::min(width, rBuff.size() - start));
}
