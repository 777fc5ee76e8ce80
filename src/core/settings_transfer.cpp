// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include <algorithm>

// Giving the unit a set of settings, as the user's own editor moves would,
// but one command at a time: the next goes into the queue only once the
// queue is empty, so no command is cut short by the next. Then each value is
// asked for again, in two rounds, and compared with what was sent.

namespace {

// After the last question has gone out, the unit has this long to answer.
constexpr std::chrono::milliseconds answerTime{1500};
constexpr int askRounds = 2;

bool readableBack(const SettingChange &change)
{
    // The unit's two-digit report cannot carry a negative shift.
    return !(change.setting == Setting::AdvanceShift && change.value < 0);
}

OutgoingCommand questionFor(Setting setting)
{
    const char letter = char(definitionOf(setting).commandLetter - 'A' + 'a');
    return {CommandKind::Question, '/' + QByteArray(1, letter) + '\r'};
}

} // namespace

TransferRefusal UnitLink::transferRefusal() const
{
    if (transfer)
        return TransferRefusal::Busy;
    if (currentPhase != LinkPhase::Streaming && currentPhase != LinkPhase::ReadingSettings)
        return TransferRefusal::NotConnected;
    if (!readOut.settingsRead())
        return TransferRefusal::NotReadOut;
    if (unit.engineRunning)
        return TransferRefusal::EngineRunning;
    return TransferRefusal::None;
}

TransferRefusal UnitLink::giveSettings(const std::vector<SettingChange> &changes)
{
    const TransferRefusal refusal = transferRefusal();
    if (refusal != TransferRefusal::None)
        return refusal;
    Transfer started;
    for (const SettingChange &change : changes) {
        const SettingDefinition &definition = definitionOf(change.setting);
        SettingCheck check;
        check.setting = change.setting;
        check.wanted = std::clamp(change.value, definition.minimum, definition.maximum);
        check.outcome = SettingCheck::Outcome::NotSent;
        started.checks.push_back(check);
    }
    transfer = std::move(started);
    if (transfer->checks.empty())
        finishTransfer();
    return TransferRefusal::None;
}

// Runs on every pump tick, before the pump looks at the queue.
void UnitLink::feedTransfer()
{
    if (!transfer || !outgoing.idle())
        return;
    Transfer &t = *transfer;
    if (t.nextToSend < t.checks.size()) {
        SettingCheck &check = t.checks[t.nextToSend++];
        check.outcome = SettingCheck::Outcome::NoAnswer;
        unit.setting(check.setting).position = check.wanted;
        sendSetting(check.setting, ChangedBy::User);
        emit settingChanged(check.setting);
        return;
    }
    if (!t.questions.empty()) {
        outgoing.submit(t.questions.front());
        t.questions.pop_front();
        t.answerDeadline = clock() + answerTime;
        return;
    }
    if (!awaitingAnswers() || (t.round == askRounds && clock() >= t.answerDeadline)) {
        finishTransfer();
        return;
    }
    if (t.round == 0 || clock() >= t.answerDeadline)
        askAgain();
}

// The next round of questions: one for each setting still unconfirmed.
void UnitLink::askAgain()
{
    Transfer &t = *transfer;
    ++t.round;
    for (SettingCheck &check : t.checks) {
        if (check.outcome != SettingCheck::Outcome::NoAnswer)
            continue;
        if (readableBack({check.setting, check.wanted}))
            t.questions.push_back(questionFor(check.setting));
        else
            check.outcome = SettingCheck::Outcome::NotReadable;
    }
    if (!awaitingAnswers())
        finishTransfer();
}

bool UnitLink::awaitingAnswers() const
{
    return std::any_of(transfer->checks.begin(), transfer->checks.end(), [](const SettingCheck &c) {
        return c.outcome == SettingCheck::Outcome::NoAnswer;
    });
}

// A report of a setting the transfer is waiting for settles it; a report
// before its command went out does not. The value as the unit sent it
// counts: one beyond the range is never the value given.
void UnitLink::checkTransferredSetting(Setting setting, int reported)
{
    if (!transfer)
        return;
    for (SettingCheck &check : transfer->checks)
        if (check.setting == setting && check.outcome == SettingCheck::Outcome::NoAnswer) {
            check.reported = reported;
            check.outcome = reported == check.wanted ? SettingCheck::Outcome::Taken
                                                     : SettingCheck::Outcome::Refused;
        }
    if (transfer->nextToSend == transfer->checks.size() && !awaitingAnswers())
        finishTransfer();
}

// The engine started, the port was lost or the link was reset: what has not
// gone out stays unsent.
void UnitLink::abandonTransfer()
{
    if (transfer)
        finishTransfer();
}

// Whatever the unit had not confirmed, it may not hold: it fell silent, and
// may have lost power with it.
void UnitLink::endTransferUnitSilent()
{
    if (!transfer)
        return;
    for (SettingCheck &check : transfer->checks)
        if (check.outcome == SettingCheck::Outcome::NoAnswer
            || check.outcome == SettingCheck::Outcome::NotSent)
            check.outcome = SettingCheck::Outcome::UnitSilent;
    finishTransfer();
}

void UnitLink::finishTransfer()
{
    const std::vector<SettingCheck> checks = std::move(transfer->checks);
    transfer.reset();
    emit settingsGiven(checks);
}
