// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Who asked for a command; it decides nothing on the wire, but says in a
// trace or a test why a command went out.
enum class CommandKind { Startup, Question, Setting, Store, Stream, Mode };

// One request to the unit: "/" and its letters, ending in CR.
struct OutgoingCommand {
    CommandKind kind;
    QByteArray text;
    // Units sent one character at a time need a pause after this command
    // before the next one starts.
    bool pauseAfter = false;
    bool operator==(const OutgoingCommand &) const = default;
};

// How the unit takes its commands: older firmware one character per pump
// tick, newer firmware a whole command in one write.
enum class Pacing { CharacterByCharacter, WholeCommand };

// The only owner of the bytes the console sends. Its rule for a new command:
// it replaces every command still waiting, follows the one already being
// sent (a command once begun always goes out whole), and is dropped when it
// is the very command being sent: the unit gets that one whole anyway.
class CommandQueue : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Write = std::function<void(QByteArrayView)>;

    // Older units need this long after some commands before the next.
    static constexpr std::chrono::milliseconds pause{250};

    CommandQueue(Write write, const Clock &clock, QObject *parent = nullptr);

    void submit(const OutgoingCommand &command);
    // Several commands that belong together (the start-up sequence): they
    // replace what waits, as one command would.
    void submit(const std::vector<OutgoingCommand> &commands);
    // Everything, the command being sent included: the port is gone.
    void clear();

    // One pump tick.
    void transmitNext(Pacing pacing);

    // Nothing being sent, nothing waiting, no pause running.
    bool idle() const;
    // The bytes still to go out, in order: what the rest of the command
    // being sent and the commands waiting add up to.
    QByteArray pendingText() const;

private:
    void endPause();
    void sendCharacter();
    void startNext();

    Write write;
    const Clock &clock;
    // The command being sent and how many of its bytes have gone out.
    std::optional<OutgoingCommand> current;
    qsizetype sentOfCurrent = 0;
    std::deque<OutgoingCommand> waiting;
    // A command that asks for a pause after it went out: the next one waits.
    bool pauseDue = false;
    std::optional<std::chrono::steady_clock::time_point> pauseEnd;
    QTimer pauseTimer;
};
