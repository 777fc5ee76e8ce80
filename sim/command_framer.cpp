// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/command_framer.h"

namespace {

bool isCommandCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*'
           || c == '+' || c == '-';
}

} // namespace

QList<QByteArray> CommandFramer::feed(QByteArrayView bytes)
{
    QList<QByteArray> commands;
    for (char c : bytes)
        accept(c, commands);
    return commands;
}

void CommandFramer::accept(char c, QList<QByteArray> &commands)
{
    if (c == '%')
        return;
    if (c == '/') {
        // A new command start abandons an unfinished one.
        inCommand = true;
        pending.clear();
        return;
    }
    if (!inCommand)
        return;
    if (c == '\r') {
        commands.append(pending);
    } else if (isCommandCharacter(c) && pending.size() < maxCommandLength) {
        pending.append(c);
        return;
    }
    inCommand = false;
    pending.clear();
}
