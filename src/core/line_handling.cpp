// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/unit_link.h"

#include "protocol/number_format.h"
#include "protocol/setting_texts.h"

#include <algorithm>

namespace {

// Replies that report a setting: which editor they move, which question of
// the poll cycle they answer, and whether a moved editor sends the value
// back to the unit (those four always have; the advance shift and LED only
// move their editor).
struct SettingReport {
    char letter;
    Setting setting;
    PolledValue answers;
    bool echoBack;
};

constexpr SettingReport settingReports[] = {
    {'c', Setting::AdvanceShift, PolledValue::AdvanceShift, false},
    {'t', Setting::PulsesPerRev, PolledValue::PulsesPerRev, true},
    {'d', Setting::StartDelay, PolledValue::StartDelay, true},
    {'l', Setting::Led, PolledValue::Led, false},
    {'n', Setting::MaxAdvance, PolledValue::MaxAdvance, true},
    {'m', Setting::MaxRpm, PolledValue::MaxRpm, true},
};

const SettingReport *settingReportFor(char letter)
{
    const auto found = std::find_if(std::begin(settingReports), std::end(settingReports),
                                    [letter](const SettingReport &r) { return r.letter == letter; });
    return found == std::end(settingReports) ? nullptr : found;
}

QString character(std::optional<char> c)
{
    return c ? QString(QLatin1Char(*c)) : QString();
}

} // namespace

void UnitLink::receive(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        wiring.heardBytes(clock());
    for (const QByteArray &text : framer.take(bytes))
        handleLine(decodeLine(text));
    checkWiring();
}

// Any line the console recognises shows the unit is alive.
void UnitLink::handleLine(const DecodedLine &line)
{
    // Our own command come back is no answer from the unit.
    if (wiring.heardLine(line, clock()))
        return;
    if (line.recognised()) {
        if (lastHeard)
            lastHeard = clock();
        if (currentPhase == LinkPhase::UnitSilent)
            recoverFromSilence(line);
    }
    if (line.telemetry)
        applyTelemetry(*line.telemetry);
    else if (line.acknowledgement)
        applyAcknowledgement(*line.acknowledgement);
    else if (line.reply)
        applyReply(*line.reply);
    emit lineDecoded(line);
}

void UnitLink::applyTelemetry(const TelemetryRecord &record)
{
    if (!streamOn) {
        // The first record ends the handshake's retries.
        stopHandshake();
        setStreamOn(true);
        if (identifiedPhase())
            setPhase(LinkPhase::Streaming);
    }
    readOut.answered(PolledValue::BusVolts);
    readOut.answered(PolledValue::Temperature);
    if (unit.temperatureText != record.temperatureText) {
        unit.temperatureText = record.temperatureText;
        emit readingsChanged();
    }
    unit.advanceSteps = record.advanceSteps;
    updateFigures(figuresOf(record));
}

// The C, M and N acknowledgements carry no value: the box shows what the
// editor sent. D and T show the unit's own digit.
void UnitLink::applyAcknowledgement(const Acknowledgement &ack)
{
    auto show = [this](Setting setting, const QString &text) {
        unit.setting(setting).shown = text;
        emit settingChanged(setting);
    };
    auto position = [this](Setting setting) { return unit.setting(setting).position; };
    switch (ack.letter) {
    case Acknowledgement::Store:
        userChangeUnstored = false;
        setUnsaved(false);
        emit settingsStored();
        break;
    case Acknowledgement::StartDelay:
        show(Setting::StartDelay, character(ack.value));
        break;
    case Acknowledgement::Led:
        show(Setting::Led, ledText(ack.ledSetting));
        readOut.answered(PolledValue::Led);
        break;
    case Acknowledgement::Ppr:
        show(Setting::PulsesPerRev, character(ack.value));
        break;
    case Acknowledgement::Shift:
        show(Setting::AdvanceShift, advanceDegreesText(position(Setting::AdvanceShift)));
        break;
    case Acknowledgement::MaxRpm:
        show(Setting::MaxRpm, maxRpmText(position(Setting::MaxRpm)));
        break;
    case Acknowledgement::MaxAdvance:
        show(Setting::MaxAdvance, advanceDegreesText(position(Setting::MaxAdvance)));
        break;
    case Acknowledgement::Stream:
        stopHandshake();
        if (ack.value == '1') {
            setStatus(QStringLiteral("Stream Mode"));
            setStreamOn(true);
            if (identifiedPhase())
                setPhase(LinkPhase::Streaming);
        } else if (ack.value == '0') {
            // Without the stream nothing says the engine turns: left on the
            // bar, its speed would contradict the link, which acts as if it
            // stood still. The slower figures stay as last reported.
            setStatus(QString());
            setStreamOn(false);
            updateFigures({{Figure::Rpm, 0}});
            if (currentPhase == LinkPhase::Streaming)
                setPhase(LinkPhase::ReadingSettings);
        }
        break;
    }
}

void UnitLink::applyReply(const ReplyRecord &reply)
{
    const int16_t n = reply.value;
    if (const SettingReport *report = settingReportFor(reply.letter)) {
        if (reply.letter == 'n')
            unit.reportedMaxAdvance = n;
        if (reply.letter == 'm') {
            unit.maxRpmUnits = n;
            emit readingsChanged();
        }
        readOut.answered(report->answers);
        applySettingReport(report->setting, reply, report->echoBack);
        return;
    }
    switch (reply.letter) {
    case 'p':
        unit.figures.set(Figure::Propeller, n);
        emit propellerAngleChanged(n);
        break;
    case 'u':
        unit.firmwareText = reply.text;
        unit.firmwareRevision = revisionNumber(reply.text);
        emit readingsChanged();
        identified();
        break;
    case 'x':
        readOut.answered(PolledValue::EngineRpm);
        updateFigures({{Figure::Rpm, n}});
        break;
    case 'w':
        readOut.answered(PolledValue::BusVolts);
        updateFigures({{Figure::Volts, n}});
        break;
    case 'z':
        readOut.answered(PolledValue::MaxTemperature);
        unit.maxTemperatureText = reply.text;
        emit readingsChanged();
        break;
    case 'j':
        readOut.answered(PolledValue::AdvanceShift);
        unit.advanceShiftAvailable = n != 0;
        emit readingsChanged();
        break;
    default: // 'b' and 'e' change nothing anybody reads
        break;
    }
}

// A moved editor that echoes sends the unit its own value once, as a user's
// move would; the others take the position silently: it is already the
// unit's. A value outside the editor's range leaves the editor where it is:
// moved to the nearest end, one arrow click would send a value the unit
// never held.
void UnitLink::applySettingReport(Setting setting, const ReplyRecord &reply, bool echoBack)
{
    const SettingDefinition &definition = definitionOf(setting);
    SettingState &state = unit.setting(setting);
    const int reported = reply.sent;
    const bool fits = reported >= definition.minimum && reported <= definition.maximum;
    state.outOfRange = fits ? std::nullopt : std::optional<int>(reported);
    if (fits && reported != state.position) {
        state.position = reported;
        if (echoBack)
            sendSetting(setting, ChangedBy::ReadOutEcho);
    }
    state.shown = reply.text;
    state.reported = true;
    readOut.settingReported(setting);
    emit settingChanged(setting);
    checkTransferredSetting(setting, reported);
}
