// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/command_queue.h"

CommandQueue::CommandQueue(Write write, const Clock &clock, QObject *parent)
    : QObject(parent), write(std::move(write)), clock(clock)
{
    pauseTimer.setSingleShot(true);
    pauseTimer.setTimerType(Qt::PreciseTimer);
    pauseTimer.setInterval(int(pause.count()));
    // The program carries on during a pause, and the next character goes out
    // the moment it ends, with or without a pump tick.
    connect(&pauseTimer, &QTimer::timeout, this, &CommandQueue::endPause);
}

void CommandQueue::submit(const OutgoingCommand &command)
{
    submit(std::vector<OutgoingCommand>{command});
}

void CommandQueue::submit(const std::vector<OutgoingCommand> &commands)
{
    if (commands.empty())
        return;
    if (commands.size() == 1 && current && commands.front().text == current->text)
        waiting.clear();
    else
        waiting.assign(commands.begin(), commands.end());
}

void CommandQueue::clear()
{
    current.reset();
    sentOfCurrent = 0;
    waiting.clear();
    pauseDue = false;
    pauseEnd.reset();
    pauseTimer.stop();
}

bool CommandQueue::idle() const
{
    return !current && waiting.empty() && !pauseEnd;
}

QByteArray CommandQueue::pendingText() const
{
    QByteArray text = current ? current->text.mid(sentOfCurrent) : QByteArray();
    for (const OutgoingCommand &command : waiting)
        text += command.text;
    return text;
}

void CommandQueue::transmitNext(Pacing pacing)
{
    if (pauseEnd) {
        if (clock() >= *pauseEnd)
            endPause();
        return;
    }
    if (pacing == Pacing::WholeCommand) {
        // Newer units need no pause; the rest of a command begun in paced
        // mode goes with it.
        pauseDue = false;
        if (!current)
            startNext();
        if (!current)
            return;
        write(QByteArrayView(current->text).sliced(sentOfCurrent));
        current.reset();
        return;
    }
    if (!current && pauseDue && !waiting.empty()) {
        pauseDue = false;
        pauseEnd = clock() + pause;
        pauseTimer.start();
        return;
    }
    sendCharacter();
}

void CommandQueue::endPause()
{
    if (!pauseEnd)
        return;
    pauseTimer.stop();
    pauseEnd.reset();
    sendCharacter();
}

void CommandQueue::startNext()
{
    if (waiting.empty())
        return;
    current = std::move(waiting.front());
    waiting.pop_front();
    sentOfCurrent = 0;
}

// A closed port drops the character, at the pace it would have gone out.
void CommandQueue::sendCharacter()
{
    if (!current)
        startNext();
    if (!current)
        return;
    write(QByteArrayView(current->text).sliced(sentOfCurrent, 1));
    if (++sentOfCurrent < current->text.size())
        return;
    pauseDue = current->pauseAfter;
    current.reset();
}
