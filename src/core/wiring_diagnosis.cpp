// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/wiring_diagnosis.h"

namespace {

QByteArrayView withoutTerminator(QByteArrayView text)
{
    while (!text.isEmpty() && (text.back() == '\r' || text.back() == '\n'))
        text.chop(1);
    return text;
}

bool decoded(const DecodedLine &line)
{
    return line.telemetry || line.acknowledgement || line.reply;
}

} // namespace

void WiringDiagnosis::start(TimePoint now)
{
    *this = {};
    waitingSince = now;
}

void WiringDiagnosis::stop()
{
    *this = {};
}

void WiringDiagnosis::heardBytes(TimePoint now)
{
    if (running())
        lastBytes = now;
}

// The unit never sends "/*" or "/u": it answers "/u" with a "u" reply and
// "/*" with nothing.
bool WiringDiagnosis::heardLine(const DecodedLine &line, TimePoint now)
{
    if (!running())
        return false;
    const QByteArrayView text = withoutTerminator(line.text);
    const bool ownStop = text == "/*";
    const bool own = ownStop || text == "/u" || (text == "/I0" && ownStopCameBack);
    ownStopCameBack = ownStop;
    if (own)
        lastOwnCommand = now;
    else if (decoded(line))
        lastUnderstood = now;
    return own;
}

bool WiringDiagnosis::within(const std::optional<TimePoint> &when, TimePoint now)
{
    return when && now - *when < listenFor;
}

WiringHint WiringDiagnosis::verdict(TimePoint now) const
{
    if (!running() || now - *waitingSince < listenFor || within(lastUnderstood, now))
        return WiringHint::None;
    if (within(lastOwnCommand, now))
        return WiringHint::OwnCommandsBack;
    if (within(lastBytes, now))
        return WiringHint::NoLineUnderstood;
    return WiringHint::NothingHeard;
}

QString wiringHintText(WiringHint hint)
{
    switch (hint) {
    case WiringHint::NothingHeard:
        return QStringLiteral("Nothing comes back from the unit: check that it is powered, that "
                              "transmit and receive are not swapped, and that ground is connected.");
    case WiringHint::OwnCommandsBack:
        return QStringLiteral("The console's own commands come back: transmit and receive are "
                              "joined (a loopback plug or the wrong cable), or the adapter echoes.");
    case WiringHint::NoLineUnderstood:
        return QStringLiteral("Bytes arrive, but no line makes sense: the other end talks at "
                              "another speed or framing than 9600 baud 8N1, or the line is noisy.");
    case WiringHint::None:
        break;
    }
    return {};
}

QString wiringChangeLine(WiringHint hint, LinkPhase phase)
{
    if (hint != WiringHint::None)
        return QStringLiteral("wiring: ") + wiringHintText(hint);
    const bool answering = phase == LinkPhase::WaitingForUnit
                           || phase == LinkPhase::ReadingSettings
                           || phase == LinkPhase::Streaming;
    return answering ? QStringLiteral("wiring: the unit answers") : QString();
}
